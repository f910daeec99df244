#include <fcntl.h>

#include <algorithm>
#include <cstddef>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "automation/code_page.hpp"
#include "automation/error.hpp"
#include "automation/file_system.hpp"
#include "automation/host_hooks.hpp"
#include "automation/open_file.hpp"
#include "automation/prefault.hpp"
#include "automation/whole_file_writer.hpp"
#include "drumel/clsFile.hpp"

namespace drumel {
namespace {

using automation::AutomationError;
using automation::Bstr;
using automation::VariantBool;

constexpr char16_t kSorryCaption[] = u"Sorry";

// "Error 76", a CR LF pair and the description, as the runtime reports it.
void show_error_box(const AutomationError& error) {
  const std::u16string text = u"Error " + automation::utf8_to_utf16(std::to_string(error.number())) + u"\r\n" +
                              automation::utf8_to_utf16(error.description());
  automation::message_box(Bstr(text), automation::kMsgBoxCritical, Bstr(u"Error"));
}

// Runs a text operation; a failure becomes the error box and the neutral result.
template <class Result, class Operation>
Result or_error_box(Result neutral, Operation operation) {
  try {
    return operation();
  } catch (const AutomationError& error) {
    show_error_box(error);
  } catch (const std::bad_alloc&) {
    show_error_box(AutomationError(automation::kErrOutOfMemory, "Out of memory"));
  }
  return neutral;
}

std::string checked_path(const Bstr& path) {
  auto native = automation::native_path(path);
  if (!native) automation::raise_path_file_access_error();
  return std::move(*native);
}

// The text of a whole file in one pass: small chunks are read into one
// buffer, reused, and converted onto the end of the text, which is sized once
// from the file's length. A whole-file byte buffer would cost as much in
// fresh pages as the conversion itself. Reading goes on to the end whatever
// size the file reports: files under /proc report 0 and have content.
std::u16string whole_text(const std::string& path) {
  const automation::OpenFile file(automation::file_system(), path.c_str(), O_RDONLY | O_NONBLOCK);
  constexpr std::size_t kChunkBytes = 32 * 1024;
  std::u16string text;
  text.reserve(static_cast<std::size_t>(file.status().size));
  automation::prefault_for_writing(text.data(), text.capacity() * sizeof(char16_t));
  const automation::AnsiCodePage& page = automation::ansi_code_page();
  std::vector<char> bytes(kChunkBytes);
  std::vector<char16_t> characters(kChunkBytes);
  while (true) {
    const std::size_t got = file.read_at(static_cast<int64_t>(text.size()), std::as_writable_bytes(std::span(bytes)));
    page.to_unicode(std::string_view(bytes.data(), got), characters.data());
    text.append(characters.data(), got);
    if (got < kChunkBytes) return text;
  }
}

// The text in the code page, converted a piece at a time as it is written:
// a large text never needs a whole second copy.
automation::ContentPieces ansi_pieces(std::u16string_view text) {
  constexpr std::size_t kPieceCharacters = 256 * 1024;
  const automation::AnsiCodePage& page = automation::ansi_code_page();
  return [text, &page, room = std::string(std::min(text.size(), kPieceCharacters), '\0')]() mutable {
    const std::u16string_view piece = text.substr(0, room.size());
    text.remove_prefix(piece.size());
    page.to_ansi(piece, room.data());
    return std::string_view(room.data(), piece.size());
  };
}

}  // namespace

Bstr clsFile::LoadText(Bstr& FromFile) {
  if (!static_cast<bool>(FileExists(FromFile))) {
    automation::message_box(Bstr(u"File not found. Check if the file is Currently exists."),
                            automation::kMsgBoxCritical, Bstr(kSorryCaption));
    return Bstr(u"");
  }
  return or_error_box(Bstr(u""), [&] { return Bstr(whole_text(checked_path(FromFile))); });
}

VariantBool clsFile::SaveText(Bstr& Text, Bstr& FileName) {
  // No line break is added, so LoadText gives back exactly what was saved.
  const bool saved = or_error_box(false, [&] {
    const std::string path = checked_path(FileName);
    const automation::WholeFileWrite written =
        automation::write_whole_file(automation::file_system(), path, ansi_pieces(Text.view()));
    if (!written) automation::raise_file_error(written.error_number, written.context);
    return true;
  });
  if (!saved) return automation::kFalse;
  if (!static_cast<bool>(FileExists(FileName))) {
    automation::message_box(Bstr(u"Unexpectd error occured. File could not be saved"), automation::kMsgBoxCritical,
                            Bstr(kSorryCaption));
    return automation::kFalse;
  }
  return automation::kTrue;
}

// A folder is no file; lengths are 64-bit, so files of 2 GiB and more are
// present too.
VariantBool clsFile::FileExists(Bstr& FileName) {
  const auto path = automation::native_path(FileName);
  if (!path) return automation::kFalse;
  automation::FileStatus status;
  if (automation::file_system()->stat(path->c_str(), status) != 0) return automation::kFalse;
  return VariantBool::from(!status.is_directory());
}

}  // namespace drumel
