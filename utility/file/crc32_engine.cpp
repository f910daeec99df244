#include "crc32_engine.hpp"

namespace drumel {
namespace {

std::array<Crc32Table, 8> build_slices(uint32_t polynomial) {
  std::array<Crc32Table, 8> slices{};
  slices[0] = build_crc32_table(polynomial);
  for (std::size_t k = 1; k < slices.size(); ++k)
    for (std::size_t i = 0; i < 256; ++i) slices[k][i] = (slices[k - 1][i] >> 8) ^ slices[0][slices[k - 1][i] & 0xFFu];
  return slices;
}

}  // namespace

bool Crc32Engine::supported(Crc32Method method) {
  switch (method) {
    case Crc32Method::kFolding128:
      return folding_128_supported();
    case Crc32Method::kFolding512:
      return folding_512_supported();
    default:
      return true;
  }
}

Crc32Method Crc32Engine::fastest_method() {
  static const Crc32Method fastest = supported(Crc32Method::kFolding512)   ? Crc32Method::kFolding512
                                     : supported(Crc32Method::kFolding128) ? Crc32Method::kFolding128
                                                                           : Crc32Method::kSlicingBy8;
  return fastest;
}

Crc32Engine::Crc32Engine(uint32_t polynomial) : Crc32Engine(polynomial, fastest_method()) {}

Crc32Engine::Crc32Engine(uint32_t polynomial, Crc32Method method)
    : slices_(build_slices(polynomial)),
      folding_(build_folding_constants(polynomial)),
      method_(supported(method) ? method : Crc32Method::kSlicingBy8) {}

uint32_t Crc32Engine::update(uint32_t crc_register, std::span<const uint8_t> bytes) const {
  switch (method_) {
    case Crc32Method::kByteTable:
      return crc32_byte_table(slices_[0], crc_register, bytes);
    case Crc32Method::kSlicingBy8:
      return crc32_slicing_by_8(slices_, crc_register, bytes);
    case Crc32Method::kFolding128:
      return crc32_folding_128(slices_, folding_, crc_register, bytes);
    case Crc32Method::kFolding512:
      return crc32_folding_512(slices_, folding_, crc_register, bytes);
  }
  return crc_register;
}

}  // namespace drumel
