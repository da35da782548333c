#include "table/table.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <unordered_map>

#include "table/ascii_case.h"
#include "table/dbf_layout.h"
#include "table/field_value.h"
#include "table/os_error.h"
#include "table/table_lock.h"

namespace mudalinx::table {

using detail::FieldLayout;
using detail::upperAscii;
using detail::StoreResult;

namespace {

// Rows kept in memory before they go to disk together; small enough that a killed process
// loses little, large enough that 1e5 rows cost a few hundred writes.
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

bool hasDbfExtension(std::string_view name) {
  return name.size() > 4 && upperAscii(name.substr(name.size() - 4)) == ".DBF";
}

}  // namespace

class Table::Impl {
 public:
  Impl(std::filesystem::path file, Access access) : file_(std::move(file)), name_(detail::tableNameOf(file_)) {
    exclusive_ = access == Access::Exclusive;
    lock_ = detail::openLocked(file_, exclusive_ ? detail::LockKind::Exclusive : detail::LockKind::Shared, name_);
    load();
  }

  Table* owner = nullptr;

  const std::string& name() const { return name_; }
  const std::filesystem::path& path() const { return file_; }
  const std::vector<FieldInfo>& fields() const { return infos_; }
  bool hasField(std::string_view field) const { return fieldIndex_.count(upperAscii(field)) != 0; }

  void first() {
    finishPending();
    position_ = nextVisible(0);
  }
  void next() {
    finishPending();
    if (position_ < live_.size()) position_ = nextVisible(position_ + 1);
  }
  bool eof() const { return position_ >= live_.size(); }
  std::size_t recordCount() const { return live_.size(); }
  std::size_t recordNumber() const { return eof() ? 0 : live_[position_] + 1; }

  std::string text(std::string_view name) const {
    const FieldLayout& f = field(name);
    return detail::readText(layout_, f, current());
  }
  long long integer(std::string_view name) const {
    const FieldLayout& f = field(name);
    if (const auto value = detail::readInteger(layout_, f, current())) return *value;
    throw valueError(f, "«" + detail::quoteForMessage(detail::readText(layout_, f, current())) + "» no es un número entero");
  }
  double number(std::string_view name) const {
    const FieldLayout& f = field(name);
    if (const auto value = detail::readNumber(layout_, f, current())) return *value;
    throw valueError(f, "«" + detail::quoteForMessage(detail::readText(layout_, f, current())) + "» no es un número");
  }
  bool logical(std::string_view name) const {
    const FieldLayout& f = field(name);
    if (const auto value = detail::readLogical(layout_, f, current())) return *value;
    throw valueError(f, "no es un campo lógico");
  }
  bool isBlank(std::string_view name) const { return detail::readBlank(layout_, field(name), current()); }

  void append() {
    finishPending();
    requireWritable();
    buffer_ = detail::blankRecord(layout_);
    mode_ = Mode::Append;
  }
  void edit() {
    finishPending();
    requireWritable();
    if (eof()) throw TableError("La tabla " + name_ + " no tiene un registro actual que modificar.");
    const char* record = &records_[live_[position_] * layout_.recordLength];
    buffer_.assign(record, layout_.recordLength);
    mode_ = Mode::Edit;
  }

  bool setText(std::string_view name, std::string_view value) {
    const FieldLayout& f = editableField(name);
    const StoreResult result = detail::storeText(layout_, f, buffer_.data(), value);
    if (result == StoreResult::Refused) throw refusedValue(f, "«" + detail::quoteForMessage(value) + "»");
    return result == StoreResult::Cut;
  }
  void setInteger(std::string_view name, long long value) {
    const FieldLayout& f = editableField(name);
    if (detail::storeInteger(layout_, f, buffer_.data(), value) == StoreResult::Refused) {
      throw refusedValue(f, std::to_string(value));
    }
  }
  void setNumber(std::string_view name, double value) {
    const FieldLayout& f = editableField(name);
    if (detail::storeNumber(layout_, f, buffer_.data(), value) == StoreResult::Refused) {
      throw refusedValue(f, std::to_string(value));
    }
  }
  void setLogical(std::string_view name, bool value) {
    const FieldLayout& f = editableField(name);
    if (detail::storeLogical(layout_, f, buffer_.data(), value) == StoreResult::Refused) {
      throw refusedValue(f, value ? "T" : "F");
    }
  }

  void post() {
    if (mode_ == Mode::Browse) throw TableError("La tabla " + name_ + " no tiene ningún registro en edición que guardar.");
    buffer_[0] = detail::kLiveFlag;
    const std::size_t length = layout_.recordLength;
    if (mode_ == Mode::Append) {
      const std::size_t physical = records_.size() / length;
      if (physical >= UINT32_MAX) throw TableError("La tabla " + name_ + " no admite más registros.");
      records_.insert(records_.end(), buffer_.begin(), buffer_.end());
      live_.push_back(static_cast<std::uint32_t>(physical));
      position_ = live_.size() - 1;
    } else {
      const std::uint32_t physical = live_[position_];
      std::copy(buffer_.begin(), buffer_.end(), records_.begin() + static_cast<std::ptrdiff_t>(physical * length));
      if (physical < flushedCount_ && !dirty_[physical]) {
        dirty_[physical] = true;
        dirtyList_.push_back(physical);
      }
    }
    mode_ = Mode::Browse;
    changed_ = true;
    if ((records_.size() / length - flushedCount_ + dirtyList_.size()) * length >= kFlushBytes) flush();
  }

  bool locate(std::initializer_list<std::pair<std::string_view, std::string_view>> keys) {
    finishPending();
    std::vector<std::pair<const FieldLayout*, std::string_view>> wanted;
    for (const auto& [name, value] : keys) wanted.emplace_back(&field(name), value);
    for (std::size_t i = 0; i < live_.size(); ++i) {
      const char* record = &records_[live_[i] * layout_.recordLength];
      const bool matches = std::all_of(wanted.begin(), wanted.end(), [&](const auto& key) {
        const FieldLayout& f = *key.first;
        if (f.storage == detail::Storage::Character && f.nullBit < 0) return detail::characterView(f, record) == key.second;
        return detail::readText(layout_, f, record) == key.second;
      });
      if (matches && passes(i)) {
        position_ = i;
        return true;
      }
    }
    position_ = live_.size();
    return false;
  }

  void setFilter(std::function<bool(const Table&)> predicate) {
    finishPending();
    filter_ = std::move(predicate);
    position_ = nextVisible(0);
  }
  void clearFilter() {
    finishPending();
    filter_ = nullptr;
  }

  // Writes what is pending and releases the lock. A row still being edited is dropped.
  void close() {
    mode_ = Mode::Browse;
    if (changed_) flush();
    if (const int error = lock_.handle.close()) detail::throwSystemError("No se puede cerrar la tabla " + name_, file_, error);
  }

 private:
  enum class Mode { Browse, Edit, Append };

  void load() {
    const std::uint64_t fileSize = detail::fileSize(lock_.handle, file_);
    std::vector<char> header(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 0x10000)));
    detail::readAt(lock_.handle.get(), header.data(), header.size(), 0, file_);
    layout_ = detail::parseLayout(header, fileSize, file_);

    records_.resize(std::size_t{layout_.recordCount} * layout_.recordLength);
    detail::readAt(lock_.handle.get(), records_.data(), records_.size(), static_cast<off_t>(layout_.headerLength), file_);
    flushedCount_ = layout_.recordCount;
    dirty_.assign(flushedCount_, false);
    live_.reserve(flushedCount_);
    for (std::uint32_t i = 0; i < layout_.recordCount; ++i) {
      if (records_[i * layout_.recordLength] != detail::kDeletedFlag) live_.push_back(i);
    }
    for (std::size_t i = 0; i < layout_.fields.size(); ++i) {
      infos_.push_back(layout_.fields[i].info);
      fieldIndex_.emplace(upperAscii(layout_.fields[i].info.name), i);  // the first of equal names wins
    }
    blank_ = detail::blankRecord(layout_);
    position_ = 0;
  }

  // The record that reads see: the one being edited, the current one, or an unset one at the end.
  const char* current() const {
    if (mode_ != Mode::Browse) return buffer_.data();
    if (eof()) return blank_.data();
    return &records_[live_[position_] * layout_.recordLength];
  }

  const FieldLayout& field(std::string_view name) const {
    // Callers nearly always spell field names in capitals: look them up without a copy first.
    auto it = fieldIndex_.find(name);
    if (it == fieldIndex_.end()) it = fieldIndex_.find(upperAscii(name));
    if (it == fieldIndex_.end()) {
      throw TableError("La tabla " + name_ + " no tiene el campo " + detail::quoteForMessage(name) + ".");
    }
    return layout_.fields[it->second];
  }

  const FieldLayout& editableField(std::string_view name) {
    const FieldLayout& f = field(name);
    if (mode_ == Mode::Browse) {
      throw TableError("La tabla " + name_ + " no tiene ningún registro en edición (campo " + detail::quoteForMessage(f.info.name) + ").");
    }
    return f;
  }

  std::size_t editedRecordNumber() const {
    return mode_ == Mode::Append ? records_.size() / layout_.recordLength + 1 : recordNumber();
  }

  TableError valueError(const FieldLayout& f, const std::string& reason) const {
    const std::size_t record = mode_ == Mode::Browse ? recordNumber() : editedRecordNumber();
    return TableError("La tabla " + name_ + ", registro " + std::to_string(record) + ", campo " + detail::quoteForMessage(f.info.name) + ": " +
                      reason + ".");
  }

  TableError refusedValue(const FieldLayout& f, const std::string& value) const {
    return valueError(f, "el valor " + value + " no cabe en un campo de tipo " + detail::quoteForMessage(std::string(1, f.info.type)) +
                             " y ancho " + std::to_string(f.info.width));
  }

  void requireWritable() {
    if (!lock_.writable) {
      throw TableError("La tabla " + name_ + " no se puede modificar: el archivo es de solo lectura (" + file_.string() + ").");
    }
    if (layout_.hasIndexFile) {
      throw TableError("La tabla " + name_ + " no se puede modificar: tiene un índice que este programa no mantiene (" +
                       file_.string() + ").");
    }
    if (!exclusive_) {
      // Two writers of one table would overwrite each other's rows.
      detail::upgradeLock(lock_, file_, name_);
      exclusive_ = true;
    }
  }

  // Moving away from a row in edit stores it, as a dataset does.
  void finishPending() {
    if (mode_ != Mode::Browse) post();
  }

  // The filter reads the candidate as the current record; the position is restored even when
  // the filter throws.
  bool passes(std::size_t index) {
    if (!filter_) return true;
    struct Restore {
      std::size_t& position;
      std::size_t saved;
      ~Restore() { position = saved; }
    } restore{position_, position_};
    position_ = index;
    return filter_(*owner);
  }

  std::size_t nextVisible(std::size_t from) {
    while (from < live_.size() && !passes(from)) ++from;
    return from;
  }

  // Changed rows in place, then new rows and the end mark, then the header's count: the file
  // on disk is a valid table after every step.
  void flush() {
    const int fd = lock_.handle.get();
    const std::size_t length = layout_.recordLength;
    const auto offsetOf = [&](std::size_t physical) {
      return static_cast<off_t>(layout_.headerLength + physical * length);
    };
    std::sort(dirtyList_.begin(), dirtyList_.end());
    for (std::size_t i = 0; i < dirtyList_.size();) {
      std::size_t end = i + 1;
      while (end < dirtyList_.size() && dirtyList_[end] == dirtyList_[end - 1] + 1) ++end;
      const std::uint32_t start = dirtyList_[i];
      detail::writeAt(fd, &records_[start * length], (end - i) * length, offsetOf(start), file_);
      i = end;
    }
    for (const std::uint32_t physical : dirtyList_) dirty_[physical] = false;
    dirtyList_.clear();

    const std::size_t total = records_.size() / length;
    if (total > flushedCount_) {
      try {
        detail::writeAt(fd, &records_[flushedCount_ * length], (total - flushedCount_) * length,
                        offsetOf(flushedCount_), file_);
        const char end = detail::kEndOfFile;
        detail::writeAt(fd, &end, 1, offsetOf(total), file_);
      } catch (const TableError&) {
        keepTheRowsThatLanded();
        throw;
      }
      flushedCount_ = total;
      dirty_.resize(total, false);
    }
    stampRecordCount(total);
    changed_ = false;
  }

  void stampRecordCount(std::size_t count) {
    char stamp[8] = {};
    detail::stampHeader(stamp, static_cast<std::uint32_t>(count));
    detail::writeAt(lock_.handle.get(), stamp + 1, 7, 1, file_);
  }

  // After new rows failed to reach the disk (a full disk, mostly), the file may hold some of
  // them past the header's count, the last one cut short. The complete ones are counted, the
  // rest is cut off, and the rows that never got there are dropped from memory too: the table
  // on disk and in memory is then a valid table holding the first rows posted, and closing it
  // does not fail a second time.
  void keepTheRowsThatLanded() noexcept {
    const std::size_t length = layout_.recordLength;
    std::size_t landed = flushedCount_;
    try {
      const std::uint64_t size = detail::fileSize(lock_.handle, file_);
      if (size > layout_.headerLength) {
        const std::uint64_t complete = (size - layout_.headerLength) / length;
        landed = static_cast<std::size_t>(std::clamp<std::uint64_t>(complete, flushedCount_, records_.size() / length));
      }
      detail::truncateAt(lock_.handle.get(), layout_.headerLength + landed * length, file_);
      stampRecordCount(landed);
    } catch (const TableError&) {
      // The header still counts the rows of the last good flush: a valid table all the same.
      landed = flushedCount_;
    }
    try {
      const char end = detail::kEndOfFile;
      detail::writeAt(lock_.handle.get(), &end, 1, static_cast<off_t>(layout_.headerLength + landed * length), file_);
    } catch (const TableError&) {
      // Readers do without the end mark.
    }
    records_.resize(landed * length);
    live_.erase(std::remove_if(live_.begin(), live_.end(), [&](std::uint32_t physical) { return physical >= landed; }),
                live_.end());
    flushedCount_ = landed;
    dirty_.resize(landed, false);
    position_ = std::min(position_, live_.size());
    mode_ = Mode::Browse;
    changed_ = false;
  }

  std::filesystem::path file_;
  std::string name_;
  bool exclusive_ = false;
  detail::LockedFile lock_;
  detail::TableLayout layout_;
  std::vector<FieldInfo> infos_;
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
  };
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> fieldIndex_;
  std::vector<char> records_;           // every physical record, deleted ones included
  std::vector<std::uint32_t> live_;     // physical numbers (0-based) of the records not deleted
  std::size_t flushedCount_ = 0;        // records the header on disk counts
  std::vector<bool> dirty_;             // changed since written, per record on disk
  std::vector<std::uint32_t> dirtyList_;
  bool changed_ = false;
  std::size_t position_ = 0;            // into live_; live_.size() is the end
  Mode mode_ = Mode::Browse;
  std::string buffer_;
  std::string blank_;
  std::function<bool(const Table&)> filter_;
};

Table Table::open(const std::filesystem::path& folder, std::string_view name, Access access) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) throw TableError("No existe la carpeta " + folder.string() + ".");
  const std::string filename = hasDbfExtension(name) ? std::string(name) : std::string(name) + ".DBF";
  const auto file = findFile(folder, filename);
  if (!file) {
    throw TableError("No se encuentra la tabla " + detail::tableNameOf(filename) + " (" + (folder / filename).string() + ").");
  }
  return Table(std::make_unique<Impl>(*file, access));
}

Table Table::openFile(const std::filesystem::path& file, Access access) {
  std::error_code error;
  if (std::filesystem::is_regular_file(file, error)) return Table(std::make_unique<Impl>(file, access));
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  return open(folder, file.filename().string(), access);
}

Table::Table(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) { impl_->owner = this; }

Table::Table(Table&& other) noexcept : impl_(std::move(other.impl_)) {
  if (impl_) impl_->owner = this;
}

Table& Table::operator=(Table&& other) noexcept {
  if (this != &other) {
    if (impl_) {
      try {
        impl_->close();
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
      }
    }
    impl_ = std::move(other.impl_);
    if (impl_) impl_->owner = this;
  }
  return *this;
}

Table::~Table() {
  if (!impl_) return;
  try {
    impl_->close();
  } catch (const std::exception& e) {
    // A destructor cannot pass the failure on; close() explicitly to receive it. While an
    // earlier failure unwinds (a full disk fails every table at once), that one is what the
    // user is told, once; the table still keeps the rows that reached the disk.
    if (std::uncaught_exceptions() == 0) std::fprintf(stderr, "%s\n", e.what());
  }
}

Table::Impl& Table::opened() const {
  if (!impl_) throw TableError("La tabla está cerrada.");
  return *impl_;
}

void Table::close() {
  if (!impl_) return;
  std::unique_ptr<Impl> closing = std::move(impl_);
  closing->close();
}

bool Table::isOpen() const { return impl_ != nullptr; }
const std::string& Table::name() const { return opened().name(); }
const std::filesystem::path& Table::path() const { return opened().path(); }
const std::vector<FieldInfo>& Table::fields() const { return opened().fields(); }
bool Table::hasField(std::string_view field) const { return opened().hasField(field); }
void Table::first() { opened().first(); }
void Table::next() { opened().next(); }
bool Table::eof() const { return opened().eof(); }
std::size_t Table::recordCount() const { return opened().recordCount(); }
std::size_t Table::recordNumber() const { return opened().recordNumber(); }
std::string Table::text(std::string_view field) const { return opened().text(field); }
long long Table::integer(std::string_view field) const { return opened().integer(field); }
double Table::number(std::string_view field) const { return opened().number(field); }
bool Table::logical(std::string_view field) const { return opened().logical(field); }
bool Table::isBlank(std::string_view field) const { return opened().isBlank(field); }
void Table::append() { opened().append(); }
void Table::edit() { opened().edit(); }
bool Table::setText(std::string_view field, std::string_view value) { return opened().setText(field, value); }
void Table::setInteger(std::string_view field, long long value) { opened().setInteger(field, value); }
void Table::setNumber(std::string_view field, double value) { opened().setNumber(field, value); }
void Table::setLogical(std::string_view field, bool value) { opened().setLogical(field, value); }
void Table::post() { opened().post(); }
bool Table::locate(std::initializer_list<std::pair<std::string_view, std::string_view>> keys) {
  return opened().locate(keys);
}
void Table::setFilter(std::function<bool(const Table&)> pred) { opened().setFilter(std::move(pred)); }
void Table::clearFilter() { opened().clearFilter(); }

}  // namespace mudalinx::table
