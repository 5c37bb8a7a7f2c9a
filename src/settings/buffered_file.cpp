#include "settings/buffered_file.h"

#include "common/bounded.h"
#include "platform/kernel.h"

#include <algorithm>
#include <cstring>

BufferedFile::BufferedFile(const char* path, Mode mode) : mode_(mode) {
  file_ = mode == Mode::Reading ? platform::OpenFileForReading(path)
                                : platform::OpenFileForWriting(path);
}

BufferedFile::BufferedFile(const char* path, const std::vector<std::uint8_t>& security)
    : mode_(Mode::Writing) {
  file_ = platform::CreateNewFile(path, security);
}

BufferedFile::~BufferedFile() {
  Close();
}

std::int32_t BufferedFile::Read(void* destination, std::uint32_t count) {
  if (mode_ == Mode::Writing) {
    return static_cast<std::int32_t>(count);
  }
  auto* out = static_cast<std::uint8_t*>(destination);
  std::uint32_t total = 0;
  while (count > 0) {
    const std::uint32_t piece = std::min(count, PieceSize);
    const std::int32_t got = ReadPiece(out + total, piece);
    if (got < 0) {
      return got;
    }
    total += static_cast<std::uint32_t>(got);
    count -= piece;
    if (static_cast<std::uint32_t>(got) < piece) {
      break;
    }
  }
  return static_cast<std::int32_t>(total);
}

std::int32_t BufferedFile::ReadPiece(std::uint8_t* destination, std::uint32_t count) {
  if (file_ == win::NoHandle) {
    return -1;
  }
  std::uint32_t available = valid_ - position_;
  if (available < count) {
    std::memmove(buffer_, buffer_ + position_, available);
    valid_ = available;
    position_ = 0;
    const std::int32_t got = platform::ReadFile(file_, buffer_ + valid_, BufferSize - valid_);
    if (got < 0) {
      readFailed_ = true;
      readError_ = platform::GetLastError();
      return got;
    }
    valid_ += std::min(static_cast<std::uint32_t>(got), BufferSize - valid_);
    available = valid_;
  }
  const std::uint32_t take = std::min(count, available);
  std::memcpy(destination, buffer_ + position_, take);
  position_ += take;
  return static_cast<std::int32_t>(take);
}

std::int32_t BufferedFile::Write(const void* source, std::uint32_t count) {
  if (mode_ != Mode::Writing || file_ == win::NoHandle) {
    return 0;
  }
  const auto* in = static_cast<const std::uint8_t*>(source);
  std::uint32_t total = 0;
  while (count > 0) {
    const std::uint32_t piece = std::min(count, PieceSize);
    if (valid_ + piece > BufferSize - 1) {
      Flush();
    }
    std::memcpy(buffer_ + valid_, in + total, piece);
    valid_ += piece;
    total += piece;
    count -= piece;
  }
  return static_cast<std::int32_t>(total);
}

void BufferedFile::Flush() {
  if (valid_ == 0) {
    return;
  }
  if (platform::WriteFile(file_, buffer_, valid_) != static_cast<std::int32_t>(valid_)) {
    failed_ = true;
  }
  valid_ = 0;
}

bool BufferedFile::WriteLength(std::uint16_t length) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(length & 0xFF),
                                 static_cast<std::uint8_t>(length >> 8)};
  return Write(bytes, sizeof bytes) == sizeof bytes;
}

bool BufferedFile::ReadLength(std::uint16_t& length) {
  std::uint8_t bytes[2] = {};
  if (Read(bytes, sizeof bytes) != sizeof bytes) {
    return false;
  }
  length = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
  return true;
}

bool BufferedFile::WriteCountedString(const char* text, std::size_t capacity) {
  const std::size_t length = std::min<std::size_t>(BoundedLength(text, capacity), 0xFFFF);
  if (!WriteLength(static_cast<std::uint16_t>(length))) {
    return false;
  }
  return length == 0 ||
         Write(text, static_cast<std::uint32_t>(length)) == static_cast<std::int32_t>(length);
}

bool BufferedFile::ReadCountedString(char* destination, std::size_t capacity) {
  CopyBounded(destination, "", capacity);
  std::uint16_t length = 0;
  if (!ReadLength(length)) {
    return false;
  }
  // Lengths up to capacity - 1 fit with their terminator, so every text the program saves
  // loads back whole. A longer length marks a foreign or damaged file: the text stays empty.
  if (length > capacity - 1) {
    return false;
  }
  const std::int32_t got = Read(destination, length);
  destination[got > 0 ? got : 0] = '\0';
  return got == length;
}

bool BufferedFile::WriteText(const char* text) {
  const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text));
  return Write(text, length) == static_cast<std::int32_t>(length);
}

bool BufferedFile::MatchText(const char* text) {
  const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(text));
  std::uint8_t piece[256];
  for (std::uint32_t done = 0; done < length;) {
    const std::uint32_t count = std::min<std::uint32_t>(length - done, sizeof piece);
    if (Read(piece, count) != static_cast<std::int32_t>(count) ||
        std::memcmp(piece, text + done, count) != 0) {
      return false;
    }
    done += count;
  }
  return true;
}

bool BufferedFile::Close() {
  if (file_ == win::NoHandle) {
    return false;
  }
  if (mode_ == Mode::Writing) {
    Flush();
  }
  const bool closed = platform::CloseFile(file_);
  file_ = win::NoHandle;
  return closed && !failed_;
}
