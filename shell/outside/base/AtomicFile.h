#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

namespace orv {

// Replaces a file in one step: the content goes to a temporary file in the same folder, is flushed
// to disk, and only then renamed over the target. Any failure removes the temporary file and leaves
// the target as it was.
class AtomicFile {
 public:
  // Writes through `fill`, which receives the stream of the temporary file. `before_rename` runs
  // after the content is on disk and before the rename (tests inject failures there).
  static void Write(const std::filesystem::path& target,
                    const std::function<void(std::ostream&)>& fill,
                    const std::function<void()>& before_rename = {});
  static void WriteText(const std::filesystem::path& target, std::string_view text);
  // A temporary path beside `target` that does not exist yet.
  static std::filesystem::path TemporaryBeside(const std::filesystem::path& target);
  // Flushes an already written file to disk, then renames it over `target`.
  static void Commit(const std::filesystem::path& temporary, const std::filesystem::path& target);
};

}  // namespace orv
