// The platform's own library as hosts see it: EncryptedData and the
// Algorithm it hands out, members in the interfaces' slot order.
#include "automation/class_binder.hpp"
#include "automation/class_registry.hpp"
#include "automation/encrypted_data.hpp"
#include "encrypted_data_class_infos.hpp"

namespace automation {

const ClassInfo& algorithm_class_info() {
  static const ClassInfo info = ClassBinder<IAlgorithm>({.library = "Platform",
                                                         .name = "Algorithm",
                                                         .clsid = "{2C6E0C94-8E31-4A6C-9D0B-53F4C6A1E2B7}",
                                                         .interface_name = "IAlgorithm",
                                                         .iid = "{BF3D04A9-B0DA-4153-B45E-6CCFA5AC715B}",
                                                         .event_interface_name = {},
                                                         .event_iid = {},
                                                         .events = {},
                                                         .members = {},
                                                         .application_object = false,
                                                         .create = {}})  // handed out by EncryptedData.Algorithm only
                                    .property("Name", &IAlgorithm::Name, &IAlgorithm::Name, "Name")
                                    .property("KeyLength", &IAlgorithm::KeyLength, &IAlgorithm::KeyLength, "KeyLength")
                                    .info();
  return info;
}

const ClassInfo& encrypted_data_class_info() {
  static const ClassInfo info =
      ClassBinder<IEncryptedData>({.library = "Platform",
                                   .name = "EncryptedData",
                                   .clsid = kEncryptedDataClsid,
                                   .interface_name = "IEncryptedData",
                                   .iid = "{C4778A66-972F-42E4-87C5-5CC16F7931CA}",
                                   .event_interface_name = {},
                                   .event_iid = {},
                                   .events = {},
                                   .members = {},
                                   .application_object = false,
                                   .create = new_encrypted_data_object})
          .property("Content", &IEncryptedData::Content, &IEncryptedData::Content, "Content")
          .property_get("Algorithm", &IEncryptedData::Algorithm)
          .method("SetSecret", &IEncryptedData::SetSecret, {"Secret", Arg("SecretType", Variant(kSecretPassword))})
          .method("Encrypt", &IEncryptedData::Encrypt, {Arg("EncodingType", Variant(kEncodeBase64))})
          .method("Decrypt", &IEncryptedData::Decrypt, {"EncryptedString"})
          .info();
  return info;
}

namespace {

const LibraryInfo& platform_library_info() {
  static const LibraryInfo info{
      .name = "Platform",
      .libid = "{7D0F4B52-3A9E-4C1B-8F26-E5A4D9C07B13}",
      .major_version = 1,
      .minor_version = 0,
      .classes = {&encrypted_data_class_info(), &algorithm_class_info()},
      .enums = {},
  };
  return info;
}

// Part of the runtime rather than a component server of its own: known as
// soon as the runtime is loaded, like the platform's own classes.
[[maybe_unused]] const bool platform_library_registered = [] {
  register_library(platform_library_info());
  return true;
}();

}  // namespace
}  // namespace automation
