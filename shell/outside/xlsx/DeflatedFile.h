#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

struct zip;
struct zip_source;

namespace orv {

// A zip entry's data compressed while it is being produced: what is written is deflated (raw
// deflate, as a zip entry holds it) into a file by a thread of its own, so that a large sheet's
// compression runs on a second core beside the code that writes it, instead of after it.
//
//   DeflatedFile deflated(scratch, label, 1);
//   deflated.Write(std::move(chunk));  // ... as often as needed
//   auto source = deflated.Finish(archive);  // for zip_file_add: copied into the zip as it is
//
// A failure to write the file (a full disk) is a WorkbookError from Write or Finish; nothing is
// left running when the object ends, however it ends.
class DeflatedFile {
 public:
  DeflatedFile(std::filesystem::path path, std::string label, int level);
  ~DeflatedFile();
  DeflatedFile(const DeflatedFile&) = delete;
  DeflatedFile& operator=(const DeflatedFile&) = delete;

  // Hands the bytes over to be compressed; waits while several megabytes are still queued.
  void Write(std::string&& bytes);
  // Compresses what is left and closes the file; returns a libzip source of the compressed data
  // that declares itself deflated, with its size and CRC, so that libzip stores it unchanged.
  // The source reads the file, which must stay until the archive is closed.
  zip_source* Finish(zip* archive);

 private:
  void Run();
  void Compress(const std::string& bytes, bool last);
  [[noreturn]] void Fail(int error_number);

  std::filesystem::path path_;
  std::string label_;
  int level_;
  std::FILE* file_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;
  bool closing_ = false;
  std::exception_ptr failure_;
  // The totals, kept by the thread.
  std::uint64_t size_ = 0;
  std::uint64_t compressed_size_ = 0;
  std::uint32_t crc_ = 0;
  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::thread worker_;
};

}  // namespace orv
