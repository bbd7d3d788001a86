#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace rtl {

// Copies between streams move at most this many bytes at a time.
constexpr int64_t CopyPieceSize = 61440;

enum class SeekOrigin { Beginning, Current, End };

// A stream is never copied: it stands for a file, a buffer or a codec's state.
class TStream {
public:
    TStream() = default;
    virtual ~TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Reads up to count bytes and returns how many came; 0 at the end.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes and returns how many were taken.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(int64_t position) { Seek(position, SeekOrigin::Beginning); }
    virtual int64_t Size();

    // Raise EReadError / EWriteError when fewer than count bytes move.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);

    // Copies count bytes from source's position, or the whole source from its byte 0 when
    // count is 0; returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable in-memory byte stream; failing to grow raises
// "Out of memory while expanding memory stream".
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return size_; }

    void SetSize(int64_t size);
    void Clear();
    const uint8_t* Memory() const { return data_; }
    uint8_t* Memory() { return data_; }
    std::string ToString() const;

    // Whole content of source, from its byte 0; position ends at 0.
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& path);
    // Whole content to a new or truncated file, in one write.
    void SaveToFile(const std::string& path) const;
    // Whole content to a new file beside path, in one write, which then replaces path: a
    // failure leaves a file already at path as it was and no partial file. Errors name path.
    void SaveToFileReplacing(const std::string& path) const;

private:
    void Reserve(int64_t capacity);

    uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    int64_t capacity_ = 0;
    int64_t position_ = 0;
};

// Reads a byte range that someone else owns and keeps alive.
class TMemoryView : public TStream {
public:
    TMemoryView(const uint8_t* data, int64_t size) : data_(data), size_(size) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return size_; }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t position_ = 0;
};

enum class FileMode {
    // Read only; the file must exist; others may go on reading and writing it.
    OpenRead,
    // Read and write; created, or truncated when it exists; no sharing.
    Create,
    // Read and write; created, and refused when it exists; no sharing.
    CreateNew,
};

class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, FileMode mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;

    const std::string& FileName() const { return path_; }

private:
    // One call of the system's, on the platform's half: the bytes moved, 0 or less at the end
    // of the file or on failure.
    int64_t ReadSome(void* buffer, int64_t count);
    int64_t WriteSome(const void* buffer, int64_t count);

    std::string path_;
    intptr_t handle_;
};

// A file written under a scratch name beside path and moved over path by Commit, so that a
// failure at any point leaves whatever was at path as it was; the scratch file goes however
// the scope is left. A file that cannot be made or moved raises EFCreateError naming path.
class TReplacingFile {
public:
    explicit TReplacingFile(const std::string& path);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    TStream& Stream() { return *file_; }
    void Commit();

private:
    std::string path_;
    std::string scratch_;
    std::unique_ptr<TFileStream> file_;
};

} // namespace rtl
