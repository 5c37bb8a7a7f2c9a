#pragma once
// A small buffered binary stream over one file, for the settings store only.

#include "platform/winconst.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class BufferedFile {
public:
  enum class Mode { Reading, Writing };

  BufferedFile(const char* path, Mode mode);
  // A stream writing a file that must not exist yet, created with this self-relative security
  // descriptor (an empty one: what its folder gives new files).
  BufferedFile(const char* path, const std::vector<std::uint8_t>& security);
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  bool IsOpen() const { return file_ != win::NoHandle; }
  // A read of the file failed, as it does on a range another program has locked; the last error
  // tells why.
  bool ReadFailed() const { return readFailed_; }
  win::ErrorCode ReadError() const { return readError_; }

  // Returns the count obtained, or a negative number when the file read failed. On a stream
  // opened for writing it does nothing and reports the requested count.
  std::int32_t Read(void* destination, std::uint32_t count);
  // Returns the count accepted into the buffer.
  std::int32_t Write(const void* source, std::uint32_t count);

  bool WriteLength(std::uint16_t length);
  bool ReadLength(std::uint16_t& length);
  // Length before the terminator as 16 bits, then the characters without terminator.
  bool WriteCountedString(const char* text, std::size_t capacity);
  // A stored length that does not fit the capacity yields the empty text and false, and the
  // stored characters are not skipped. Also false when the file ends before the text does.
  bool ReadCountedString(char* destination, std::size_t capacity);
  bool WriteText(const char* text);
  // Reads as many bytes as text has and compares them byte for byte.
  bool MatchText(const char* text);

  // Writes out what is buffered and closes. Reports whether every byte reached the file.
  bool Close();

private:
  static constexpr std::uint32_t BufferSize = 10000;
  // Requests are served in pieces of this size; a piece joins the buffer only while the
  // buffer then holds at most BufferSize - 1 bytes.
  static constexpr std::uint32_t PieceSize = BufferSize - 2;

  std::int32_t ReadPiece(std::uint8_t* destination, std::uint32_t count);
  void Flush();

  win::Handle file_ = win::NoHandle;
  Mode mode_;
  std::uint8_t buffer_[BufferSize];
  std::uint32_t valid_ = 0;    // bytes in the buffer
  std::uint32_t position_ = 0; // next byte to read
  bool failed_ = false;        // a write did not reach the file
  bool readFailed_ = false;
  win::ErrorCode readError_ = win::ErrorSuccess;
};
