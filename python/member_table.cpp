#include "member_table.hpp"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace automation::python {
namespace {

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct ClassTable {
  std::unordered_map<std::string, MemberEntry> entries;
  std::vector<std::string> names;
  const MemberInfo* stop = nullptr;
};

// The flag a host sets to abort a run; the optimizer reads it at every checkpoint.
constexpr std::string_view kStopPropertyName = "prekid";

ClassTable build_table(const ClassInfo& info) {
  ClassTable table;
  for (const MemberInfo& member : info.members) {
    auto [at, added] = table.entries.try_emplace(folded(member.name));
    if (added) table.names.push_back(member.name);
    MemberEntry& entry = at->second;
    if (member.kind == MemberKind::kPropertyGet && entry.getter == nullptr) entry.getter = &member;
    if (member.kind == MemberKind::kPropertyPut && entry.putter == nullptr) entry.putter = &member;
    if (member.kind == MemberKind::kMethod && entry.method == nullptr) entry.method = &member;
  }
  if (const auto stop = table.entries.find(std::string(kStopPropertyName)); stop != table.entries.end())
    if (stop->second.putter != nullptr && stop->second.putter->params.size() == 1 &&
        stop->second.putter->params[0].type == VarType::kBool)
      table.stop = stop->second.putter;
  return table;
}

// Classes live as long as their library stays loaded, which is the life of the process.
const ClassTable& table_of(const ClassInfo& info) {
  static std::mutex mutex;
  static std::unordered_map<const ClassInfo*, std::unique_ptr<ClassTable>> tables;
  std::lock_guard lock(mutex);
  auto& table = tables[&info];
  if (!table) table = std::make_unique<ClassTable>(build_table(info));
  return *table;
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const MemberEntry* find_entry(const ClassInfo& info, std::string_view name) {
  const ClassTable& table = table_of(info);
  const auto found = table.entries.find(folded(name));
  return found == table.entries.end() ? nullptr : &found->second;
}

std::vector<std::string> member_names(const ClassInfo& info) { return table_of(info).names; }

std::string closest_member(const ClassInfo& info, std::string_view name) {
  const std::string wanted = folded(name);
  // A third of the name may be wrong, at least two characters: "nitems", "pokrenii", "GetKeyValue".
  std::size_t best = std::max<std::size_t>(2, wanted.size() / 3) + 1;
  std::string closest;
  for (const std::string& candidate : table_of(info).names) {
    const std::size_t distance = edit_distance(wanted, folded(candidate));
    if (distance < best) {
      best = distance;
      closest = candidate;
    }
  }
  return closest;
}

const MemberInfo* stop_property(const ClassInfo& info) { return table_of(info).stop; }

}  // namespace automation::python
