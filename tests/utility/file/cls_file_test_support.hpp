// What the clsFile tests share: a fresh folder, the boxes shown, one object.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>
#include <string>

#include "captured_message_boxes.hpp"
#include "drumel/clsFile.hpp"
#include "temporary_folder.hpp"

namespace drumel {

class ClsFileTest : public testing::Test {
 protected:
  std::filesystem::path at(const std::string& name) const { return folder_ / name; }
  automation::Bstr path(const std::string& name) const { return automation::Bstr::from_utf8(at(name).string()); }
  void write(const std::string& name, const std::string& bytes) const { test_support::write_file(at(name), bytes); }
  std::string read(const std::string& name) const { return test_support::read_file(at(name)); }
  const std::vector<test_support::ShownBox>& boxes() const { return boxes_.boxes(); }

  test_support::TemporaryFolder folder_;
  test_support::CapturedMessageBoxes boxes_;
  std::shared_ptr<clsFile> file_ = clsFile::create();
};

inline std::string random_text(std::size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

inline int32_t zlib_crc(const std::string& bytes) {
  uLong crc = crc32(0, nullptr, 0);
  for (std::size_t offset = 0; offset < bytes.size(); offset += 1u << 30) {
    const std::size_t length = std::min<std::size_t>(bytes.size() - offset, 1u << 30);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + offset), static_cast<uInt>(length));
  }
  return static_cast<int32_t>(static_cast<uint32_t>(crc));
}

inline std::string trailer_of(int32_t crc) {
  const auto value = static_cast<uint32_t>(crc);
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

}  // namespace drumel
