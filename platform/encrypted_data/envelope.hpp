// The sealed envelope behind the component's Base64 text. It describes
// itself, so opening needs no settings and the costs can be raised later:
//
//   offset  bytes  field
//   0       1      format version (1)
//   1       1      algorithm (4: AES in GCM mode)
//   2       2      key length in bits, big-endian (128, 192 or 256)
//   4       1      key derivation (1: PBKDF2-HMAC-SHA256 over the password's UTF-16LE code units)
//   5       4      iterations, big-endian
//   9       1      salt length S (16)
//   10      S      salt
//   10+S    1      nonce length N (12)
//   11+S    N      nonce
//   11+S+N  16     GCM tag
//   27+S+N  ...    ciphertext
//
// Every byte before the tag is authenticated data: changing any byte of the
// envelope makes opening fail.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace automation::encrypted_data {

inline constexpr uint8_t kFormatVersion = 1;
inline constexpr uint8_t kEnvelopeAes = 4;
inline constexpr uint8_t kKdfPbkdf2Sha256 = 1;
// Sealing always uses this cost; opening accepts any count up to the cap,
// which bounds the work a forged envelope can demand: a little over three
// times the sealing cost, about a second of CPU at most.
inline constexpr uint32_t kIterations = 600000;
inline constexpr uint32_t kMaxIterations = 2000000;
inline constexpr std::size_t kSaltBytes = 16;
inline constexpr std::size_t kNonceBytes = 12;
inline constexpr std::size_t kTagBytes = 16;

// Raise kErrCryptoFailure when the crypto library fails.
std::vector<uint8_t> seal_envelope(std::span<const uint8_t> plaintext, std::u16string_view password, uint32_t key_bits);
// Raises kErrBadData for a damaged or truncated envelope or a wrong password.
std::vector<uint8_t> open_envelope(std::span<const uint8_t> envelope, std::u16string_view password);

}  // namespace automation::encrypted_data
