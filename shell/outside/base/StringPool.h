#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Many strings in one buffer, addressed by number. A view is valid until the next Add.
class StringPool {
 public:
  std::uint32_t Add(std::string_view text) {
    offsets_.push_back(buffer_.size());
    buffer_.append(text);
    return static_cast<std::uint32_t>(offsets_.size() - 1);
  }
  std::string_view Get(std::uint32_t index) const {
    auto begin = offsets_[index];
    auto end = index + 1 < offsets_.size() ? offsets_[index + 1] : buffer_.size();
    return std::string_view(buffer_).substr(begin, end - begin);
  }
  std::size_t Size() const { return offsets_.size(); }
  std::size_t Bytes() const {
    return buffer_.capacity() + offsets_.capacity() * sizeof(std::uint64_t);
  }

 private:
  std::string buffer_;
  std::vector<std::uint64_t> offsets_;
};

}  // namespace orv
