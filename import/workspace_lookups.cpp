#include "import/workspace_lookups.h"

#include <functional>

namespace mudalinx::importer {
namespace {

template <typename Map>
const typename Map::mapped_type* find(const Map& map, const typename Map::key_type& key) {
  const auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

std::size_t TextPairHash::operator()(const std::pair<std::string, std::string>& key) const noexcept {
  const std::size_t first = std::hash<std::string>{}(key.first);
  const std::size_t second = std::hash<std::string>{}(key.second);
  return first ^ (second + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
}

// emplace never replaces an existing entry, so every index keeps the first matching row.
WorkspaceLookups WorkspaceLookups::build(table::Table& asigt, table::Table& asignomt, table::Table& diashorast,
                                         table::Table& grupost) {
  WorkspaceLookups lookups;
  for (asigt.first(); !asigt.eof(); asigt.next()) {
    lookups.offers_.emplace(PairKey{asigt.text("CASIG"), asigt.text("CGRUP")},
                            CourseOffer{asigt.text("CLAVE"), asigt.text("CLAVECURSO")});
  }
  for (asignomt.first(); !asignomt.eof(); asignomt.next()) {
    lookups.activityCodes_.emplace(asignomt.text("COD"), asignomt.text("CODTAREA"));
  }
  for (diashorast.first(); !diashorast.eof(); diashorast.next()) {
    PairKey key{diashorast.text("DIHO"), diashorast.text("MARCO")};
    if (lookups.slots_.count(key) != 0) continue;
    lookups.slots_.emplace(std::move(key),
                           Slot{diashorast.recordNumber(), diashorast.text("DIA"), diashorast.text("CODDIHO"),
                                diashorast.text("HORADESDE"), diashorast.text("HORAHASTA")});
  }
  for (grupost.first(); !grupost.eof(); grupost.next()) {
    lookups.units_.emplace(grupost.text("ABREV"), grupost.text("CLAVE"));
  }
  return lookups;
}

const CourseOffer* WorkspaceLookups::offerOf(const std::string& subject, const std::string& group) const {
  return find(offers_, PairKey{subject, group});
}

const std::string* WorkspaceLookups::activityCodeOf(const std::string& subject) const {
  return find(activityCodes_, subject);
}

const Slot* WorkspaceLookups::slotOf(const std::string& dayHour, const std::string& frameDigit) const {
  return find(slots_, PairKey{dayHour, frameDigit});
}

const std::string* WorkspaceLookups::unitOf(const std::string& group) const { return find(units_, group); }

}  // namespace mudalinx::importer
