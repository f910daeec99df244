// clsFile as the component runtime sees it: identifiers and members in the
// interface's slot order.
#include "automation/class_binder.hpp"
#include "class_infos.hpp"
#include "drumel/clsFile.hpp"

namespace drumel {

const automation::ClassInfo& clsFile_class_info() {
  using automation::Arg;
  const automation::Variant no(automation::kFalse);
  static const automation::ClassInfo info =
      automation::ClassBinder<clsFile>(drumel_class("clsFile", "{FDCAA6F1-3F7D-4CCB-BAD2-F2ED408917F5}",
                                                    "{AA773800-8CC9-4BF3-89BD-4CC97F0E73ED}", clsFile::create))
          .method("CRCInit", &clsFile::CRCInit, {Arg("Poly", automation::Variant(clsFile::kDefaultPoly))})
          .method("CRC32File", &clsFile::CRC32File, {"Path", Arg("Check", no), Arg("Add", no)})
          .method("CRC32FileHex", &clsFile::CRC32FileHex, {"Path", Arg("Check", no), Arg("Add", no)})
          .method("LoadText", &clsFile::LoadText, {"FromFile"})
          .method("SaveText", &clsFile::SaveText, {"Text", "FileName"})
          .method("FileExists", &clsFile::FileExists, {"FileName"})
          .info();
  return info;
}

const automation::ClassInfo& clsFile::class_info() const { return clsFile_class_info(); }

}  // namespace drumel
