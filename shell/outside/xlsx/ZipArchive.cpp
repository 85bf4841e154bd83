#include "shell/outside/xlsx/ZipArchive.h"

#include <zip.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <thread>

#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {

namespace {

// Entries larger than this are inflated ahead of their reader.
constexpr std::uint64_t kReadAheadSize = std::uint64_t{4} << 20;
constexpr std::size_t kAheadChunk = std::size_t{1} << 18;
constexpr std::size_t kAheadChunks = 16;

}  // namespace

// The chunks inflated ahead, handed from the inflating thread to the reader.
struct ZipArchive::Reader::Ahead {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> chunks;
  bool done = false;      // the thread has read the whole entry, or failed
  bool stopping = false;  // the reader has gone
  std::exception_ptr failure;
  std::string current;
  std::size_t position = 0;
  std::thread thread;
};

ZipArchive::Reader::Reader(zip_file* file, std::string label, std::uint64_t cap,
                           std::mutex& archive_mutex, bool read_ahead)
    : file_(file), label_(std::move(label)), cap_(cap), archive_mutex_(archive_mutex) {
  if (!read_ahead) return;
  ahead_ = std::make_unique<Ahead>();
  ahead_->thread = std::thread([this, ahead = ahead_.get()] {
    try {
      for (;;) {
        std::string chunk(kAheadChunk, '\0');
        chunk.resize(Inflate(chunk.data(), chunk.size()));
        std::unique_lock lock(ahead->mutex);
        if (chunk.empty()) break;
        ahead->changed.wait(lock,
                            [&] { return ahead->chunks.size() < kAheadChunks || ahead->stopping; });
        if (ahead->stopping) break;
        ahead->chunks.push_back(std::move(chunk));
        ahead->changed.notify_all();
      }
    } catch (...) {
      std::lock_guard lock(ahead->mutex);
      ahead->failure = std::current_exception();
    }
    std::lock_guard lock(ahead->mutex);
    ahead->done = true;
    ahead->changed.notify_all();
  });
}

ZipArchive::Reader::~Reader() {
  if (ahead_) {
    {
      std::lock_guard lock(ahead_->mutex);
      ahead_->stopping = true;
    }
    ahead_->changed.notify_all();
    ahead_->thread.join();
  }
  std::lock_guard lock(archive_mutex_);
  zip_fclose(file_);
}

std::size_t ZipArchive::Reader::Inflate(char* buffer, std::size_t size) {
  zip_int64_t got = 0;
  {
    std::lock_guard lock(archive_mutex_);
    got = zip_fread(file_, buffer, size);
    if (got < 0) {
      throw WorkbookError(
          label_, std::string("damaged entry: ") + zip_error_strerror(zip_file_get_error(file_)));
    }
  }
  total_ += static_cast<std::uint64_t>(got);
  if (total_ > cap_) throw WorkbookError(label_, "entry inflates beyond its limit (zip bomb?)");
  return static_cast<std::size_t>(got);
}

std::size_t ZipArchive::Reader::Read(char* buffer, std::size_t size) {
  if (!ahead_) return Inflate(buffer, size);
  Ahead& ahead = *ahead_;
  if (ahead.position == ahead.current.size()) {
    std::unique_lock lock(ahead.mutex);
    ahead.changed.wait(lock, [&] { return !ahead.chunks.empty() || ahead.done; });
    if (ahead.chunks.empty()) {
      if (ahead.failure) std::rethrow_exception(ahead.failure);
      return 0;
    }
    ahead.current = std::move(ahead.chunks.front());
    ahead.chunks.pop_front();
    ahead.position = 0;
    lock.unlock();
    ahead.changed.notify_all();
  }
  const std::size_t count = std::min(size, ahead.current.size() - ahead.position);
  std::memcpy(buffer, ahead.current.data() + ahead.position, count);
  ahead.position += count;
  return count;
}

namespace {

std::string Size(std::uint64_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MiB"
                             : std::to_string(bytes) + " bytes";
}

// What a file that libzip cannot open is, told by its first bytes.
[[noreturn]] void NotAZip(const std::filesystem::path& path, const std::string& what) {
  std::ifstream in(path, std::ios::binary);
  std::string head(4096, '\0');
  in.read(head.data(), std::ssize(head));
  head.resize(static_cast<std::size_t>(in.gcount()));
  if (head.starts_with("PK"))
    throw WorkbookError(path.string(), "truncated or damaged zip file (" + what + ")");
  if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
    // An OLE compound file: a password-protected workbook keeps its package in a stream named
    // "EncryptedPackage"; otherwise it is an old binary (.xls) workbook.
    static const std::string kEncrypted = [] {
      std::string name;
      for (char c : std::string("EncryptedPackage")) name += {c, '\0'};
      return name;
    }();
    std::string whole((std::istreambuf_iterator<char>(in)), {});
    if ((head + whole).find(kEncrypted) != std::string::npos)
      throw WorkbookError(path.string(),
                          "the workbook is encrypted (protected by a password); save a copy "
                          "without the password and use that");
    throw WorkbookError(
        path.string(),
        "not an .xlsx workbook (an older binary spreadsheet file: save it as .xlsx)");
  }
  throw WorkbookError(path.string(), "not an .xlsx workbook (not a zip file)");
}

}  // namespace

std::unique_ptr<ZipArchive> ZipArchive::Open(const std::filesystem::path& path,
                                             const ZipLimits& limits) {
  std::error_code error;
  auto status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::directory)
    throw WorkbookError(path.string(), "a folder, not a workbook");
  if (status.type() == std::filesystem::file_type::not_found || error)
    throw WorkbookError(path.string(), "no such file");
  if (status.type() != std::filesystem::file_type::regular)
    throw WorkbookError(path.string(), "not a workbook (not a regular file)");
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive == nullptr) {
    zip_error_t zip_error;
    zip_error_init_with_code(&zip_error, code);
    std::string what = zip_error_strerror(&zip_error);
    zip_error_fini(&zip_error);
    NotAZip(path, what);
  }
  std::unique_ptr<ZipArchive> opened(new ZipArchive(path, archive, limits));
  std::uint64_t total = 0;
  auto count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_SIZE) != 0)
      total += stat.size;
  }
  if (total > limits.max_total_size)
    throw WorkbookError(path.string(), "too large: its parts unpack to " + Size(total) +
                                           ", more than the " + Size(limits.max_total_size) +
                                           " a workbook may hold here");
  return opened;
}

ZipArchive::ZipArchive(std::filesystem::path path, zip* archive, ZipLimits limits)
    : path_(std::move(path)), archive_(archive), limits_(limits) {}

ZipArchive::~ZipArchive() { zip_discard(archive_); }

std::int64_t ZipArchive::Locate(std::string_view name) const {
  std::lock_guard lock(mutex_);
  std::string entry(name);
  auto index = zip_name_locate(archive_, entry.c_str(), 0);
  // Part names compare case-insensitively in a package.
  return index >= 0 ? index : zip_name_locate(archive_, entry.c_str(), ZIP_FL_NOCASE);
}

std::string ZipArchive::EntryName(std::string_view name) const {
  auto index = Locate(name);
  if (index < 0) return std::string(name);
  std::lock_guard lock(mutex_);
  return zip_get_name(archive_, static_cast<zip_uint64_t>(index), 0);
}

bool ZipArchive::Has(std::string_view name) const { return Locate(name) >= 0; }

std::vector<std::string> ZipArchive::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  auto count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    if (const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), 0)) {
      names.emplace_back(name);
    }
  }
  return names;
}

std::unique_ptr<ZipArchive::Reader> ZipArchive::OpenEntry(std::string_view name) const {
  std::string label = path_.string() + ": " + std::string(name);
  auto index = Locate(name);
  if (index < 0) throw WorkbookError(path_.string(), "missing part " + std::string(name));
  std::unique_lock lock(mutex_);
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
    throw WorkbookError(label, "cannot read the entry's header");
  }
  std::uint64_t cap = limits_.max_entry_size;
  if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > cap) {
    throw WorkbookError(label, "entry claims " + std::to_string(stat.size) +
                                   " bytes unpacked, beyond the limit (zip bomb?)");
  }
  // An entry that yields more than its header claims is damaged or hostile.
  if ((stat.valid & ZIP_STAT_SIZE) != 0) cap = std::min(cap, stat.size);
  if ((stat.valid & ZIP_STAT_COMP_SIZE) != 0) {
    double ratio_cap = limits_.max_ratio * static_cast<double>(stat.comp_size);
    std::uint64_t by_ratio =
        std::max<std::uint64_t>(limits_.ratio_floor, static_cast<std::uint64_t>(ratio_cap));
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > by_ratio) {
      throw WorkbookError(label, "entry's compression ratio is absurd (zip bomb?)");
    }
    cap = std::min(cap, by_ratio);
  }
  zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
  if (file == nullptr) {
    throw WorkbookError(
        label, std::string("cannot open entry: ") + zip_error_strerror(zip_get_error(archive_)));
  }
  lock.unlock();
  const bool large = (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > kReadAheadSize;
  return std::unique_ptr<Reader>(new Reader(file, label, cap, mutex_, large));
}

std::string ZipArchive::ReadAll(std::string_view name, std::uint64_t max) const {
  auto reader = OpenEntry(name);
  std::string content;
  char buffer[65536];
  while (auto got = reader->Read(buffer, sizeof buffer)) {
    content.append(buffer, got);
    if (content.size() > max)
      throw WorkbookError(path_.string() + ": " + std::string(name),
                          "too large: more than " + Size(max) + " for a part of this kind");
  }
  return content;
}

}  // namespace orv
