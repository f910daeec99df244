// clsEncript's MD5 against libcrypto's and its Adler checksums against zlib's,
// in one run over the same message bytes. Compare the pairs' rates.

// MD5() is the one-shot digest without the EVP layer: the fastest libcrypto offers.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/md5.h>
#include <zlib.h>

#include <random>
#include <string>

#include "automation/code_page.hpp"
#include "drumel/clsEncript.hpp"

namespace {

constexpr int64_t kLongBytes = 1 << 20;
constexpr int64_t kShortBytes = 16;

std::string random_bytes(int64_t size) {
  std::mt19937 random(7);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// The same message once as code-page text (what clsEncript receives) and once as bytes.
struct Message {
  explicit Message(int64_t size) : bytes(random_bytes(size)), text(automation::from_ansi(bytes)) {}
  std::string bytes;
  automation::Bstr text;
};

// One of clsEncript's methods over the message text.
template <auto Method>
void BM_Drumel(benchmark::State& state) {
  Message message(state.range(0));
  drumel::clsEncript encript;
  for (auto _ : state) benchmark::DoNotOptimize((encript.*Method)(message.text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The digest plus the same 32-character hex string that clsEncript returns.
void BM_MD5_OpenSSL(benchmark::State& state) {
  Message message(state.range(0));
  for (auto _ : state) {
    unsigned char digest[MD5_DIGEST_LENGTH];
    MD5(reinterpret_cast<const unsigned char*>(message.bytes.data()), message.bytes.size(), digest);
    std::u16string hex(32, u'0');
    for (int i = 0; i < MD5_DIGEST_LENGTH; ++i) {
      hex[static_cast<std::size_t>(2 * i)] = u"0123456789abcdef"[digest[i] >> 4];
      hex[static_cast<std::size_t>(2 * i + 1)] = u"0123456789abcdef"[digest[i] & 15];
    }
    benchmark::DoNotOptimize(hex);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Adler32_zlib(benchmark::State& state) {
  Message message(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(
        adler32(1, reinterpret_cast<const Bytef*>(message.bytes.data()), static_cast<uInt>(message.bytes.size())));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Drumel<&drumel::clsEncript::MD5>)->Name("BM_MD5_Drumel")->Arg(kShortBytes)->Arg(kLongBytes);
BENCHMARK(BM_MD5_OpenSSL)->Arg(kShortBytes)->Arg(kLongBytes);
BENCHMARK(BM_Drumel<&drumel::clsEncript::Adler32>)->Name("BM_Adler32_Drumel")->Arg(kLongBytes);
BENCHMARK(BM_Drumel<&drumel::clsEncript::Adler16>)->Name("BM_Adler16_Drumel")->Arg(kLongBytes);
BENCHMARK(BM_Adler32_zlib)->Arg(kLongBytes);

BENCHMARK_MAIN();
