#include "shell/outside/xlsx/DeflatedFile.h"

#include <zip.h>
#include <zlib.h>

#include <cerrno>

#include "shell/outside/base/SystemError.h"
#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {
namespace {

// At most this many chunks wait for the compressor (a chunk is about a megabyte).
constexpr std::size_t kMaxQueued = 8;

// What libzip reads back: the compressed file, declared as deflated data of known size and CRC.
struct SourceState {
  std::filesystem::path path;
  std::FILE* file = nullptr;
  zip_stat_t stat{};
  zip_error_t error{};
};

zip_int64_t SourceCallback(void* state_pointer, void* data, zip_uint64_t length,
                           zip_source_cmd_t command) {
  auto* state = static_cast<SourceState*>(state_pointer);
  switch (command) {
    case ZIP_SOURCE_OPEN:
      state->file = std::fopen(state->path.c_str(), "rb");
      if (state->file == nullptr) {
        zip_error_set(&state->error, ZIP_ER_OPEN, errno);
        return -1;
      }
      return 0;
    case ZIP_SOURCE_READ: {
      const std::size_t got = std::fread(data, 1, static_cast<std::size_t>(length), state->file);
      if (got == 0 && std::ferror(state->file)) {
        zip_error_set(&state->error, ZIP_ER_READ, errno);
        return -1;
      }
      return static_cast<zip_int64_t>(got);
    }
    case ZIP_SOURCE_CLOSE:
      if (state->file != nullptr) std::fclose(state->file);
      state->file = nullptr;
      return 0;
    case ZIP_SOURCE_STAT: {
      if (length < sizeof(zip_stat_t)) {
        zip_error_set(&state->error, ZIP_ER_INVAL, 0);
        return -1;
      }
      *static_cast<zip_stat_t*>(data) = state->stat;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&state->error, data, length);
    case ZIP_SOURCE_FREE:
      if (state->file != nullptr) std::fclose(state->file);
      zip_error_fini(&state->error);
      delete state;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      zip_error_set(&state->error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

struct DeflatedFile::Stream {
  z_stream z{};
  bool started = false;
  ~Stream() {
    if (started) deflateEnd(&z);
  }
};

DeflatedFile::DeflatedFile(std::filesystem::path path, std::string label, int level)
    : path_(std::move(path)),
      label_(std::move(label)),
      level_(level),
      stream_(std::make_unique<Stream>()) {
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ == nullptr) Fail(errno);
  // Raw deflate (negative window bits): a zip entry holds no zlib header.
  if (deflateInit2(&stream_->z, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    std::fclose(file_);
    file_ = nullptr;
    throw WorkbookError(label_, "cannot start compressing");
  }
  stream_->started = true;
  crc_ = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
  worker_ = std::thread([this] { Run(); });
}

DeflatedFile::~DeflatedFile() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
  if (file_ != nullptr) std::fclose(file_);
}

void DeflatedFile::Fail(int error_number) {
  throw WorkbookError(label_, "cannot write a temporary file: " + SystemError::Text(error_number));
}

void DeflatedFile::Write(std::string&& bytes) {
  if (bytes.empty()) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return queue_.size() < kMaxQueued || failure_; });
  if (failure_) std::rethrow_exception(failure_);
  queue_.push_back(std::move(bytes));
  lock.unlock();
  changed_.notify_all();
}

void DeflatedFile::Run() {
  for (;;) {
    std::string bytes;
    bool last = false;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
      if (queue_.empty()) {
        last = true;
      } else {
        bytes = std::move(queue_.front());
        queue_.pop_front();
      }
    }
    changed_.notify_all();
    try {
      Compress(bytes, last);
    } catch (...) {
      std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      queue_.clear();
      changed_.notify_all();
      return;
    }
    if (last) return;
  }
}

void DeflatedFile::Compress(const std::string& bytes, bool last) {
  z_stream& z = stream_->z;
  crc_ = static_cast<std::uint32_t>(
      crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
  size_ += bytes.size();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  unsigned char out[1 << 16];
  int result = Z_OK;
  do {
    z.next_out = out;
    z.avail_out = sizeof out;
    result = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
    if (result == Z_STREAM_ERROR) throw WorkbookError(label_, "cannot compress the new sheet");
    const std::size_t produced = sizeof out - z.avail_out;
    if (produced > 0 && std::fwrite(out, 1, produced, file_) != produced) Fail(errno);
    compressed_size_ += produced;
  } while (z.avail_out == 0 || (last && result != Z_STREAM_END));
}

zip_source* DeflatedFile::Finish(zip* archive) {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  worker_.join();
  if (failure_) std::rethrow_exception(failure_);
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) Fail(errno);

  auto* state = new SourceState;
  state->path = path_;
  zip_error_init(&state->error);
  zip_stat_init(&state->stat);
  state->stat.valid =
      ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME;
  state->stat.size = size_;
  state->stat.comp_size = compressed_size_;
  state->stat.comp_method = ZIP_CM_DEFLATE;
  state->stat.crc = crc_;
  state->stat.mtime = time(nullptr);
  zip_source_t* source = zip_source_function(archive, SourceCallback, state);
  if (source == nullptr) {
    zip_error_fini(&state->error);
    delete state;
    throw WorkbookError(label_, "cannot add the new sheet to the workbook");
  }
  return source;
}

}  // namespace orv
