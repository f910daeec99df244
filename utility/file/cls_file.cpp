// clsFile's life cycle: created only through create(), so hosts and the
// component runtime always hold it by shared pointer.
#include "crc32_engine.hpp"
#include "drumel/clsFile.hpp"

namespace drumel {

clsFile::clsFile() = default;
clsFile::~clsFile() = default;

std::shared_ptr<clsFile> clsFile::create() { return std::shared_ptr<clsFile>(new clsFile()); }

}  // namespace drumel
