// Byte streams the engine loads from and saves to: an abstract stream and memory streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

// A positioned byte stream. Read returns the bytes actually read; Write
// writes all or throws EStreamError.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual void Write(const void* buffer, size_t count) = 0;
  virtual int64_t Size() const = 0;
  virtual int64_t Position() const = 0;
  virtual void SetPosition(int64_t position) = 0;
};

// A stream over a growable buffer of its own.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

// A read-only stream over bytes that someone else keeps alive.
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Size() const override { return static_cast<int64_t>(size_); }
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t position) override;

 private:
  const uint8_t* data_;
  size_t size_;
  int64_t position_ = 0;
};

}  // namespace qm
