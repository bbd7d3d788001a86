#pragma once

#include <exception>
#include <string>

namespace rtl {

// Root of every error the system raises; Message is what the user is shown. A standard
// exception, so one catch of std::exception sees every failure, the library's own included.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EReadError : public EStreamError {
public:
    explicit EReadError(std::string message = "Stream read error")
        : EStreamError(std::move(message)) {}
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};

// A file that could not be opened or created; FileName is the absolute path, Reason the
// system's text.
class EFileStreamError : public EStreamError {
public:
    EFileStreamError(std::string message, std::string fileName, std::string reason)
        : EStreamError(std::move(message)), FileName(std::move(fileName)),
          Reason(std::move(reason)) {}

    std::string FileName;
    std::string Reason;
};

class EFOpenError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};

class EFCreateError : public EFileStreamError {
public:
    using EFileStreamError::EFileStreamError;
};

// zlib rejected the data; Detail is zlib's own word for why, when it gives one.
class ECompressionError : public Exception {
public:
    explicit ECompressionError(std::string detail = "")
        : Exception("Error"), Detail(std::move(detail)) {}

    std::string Detail;
};

class EStringListError : public Exception {
public:
    using Exception::Exception;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// "Cannot open file "path". reason", the path made absolute.
EFOpenError FileOpenError(const std::string& path, const std::string& reason);
EFCreateError FileCreateError(const std::string& path, const std::string& reason);
EStringListError ListIndexError(int index);
EStreamError MemoryStreamOutOfMemory();

} // namespace rtl
