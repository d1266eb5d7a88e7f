#pragma once
// The general error class of the program. Every handler of the program catches this
// class and reports Message() alone; what() carries the same text as UTF-8.
#include <exception>
#include <string>

namespace vantrelo {

class Exception : public std::exception {
public:
    explicit Exception(std::u16string message);
    const std::u16string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    std::u16string FMessage;
    std::string FWhat;
};

// A text that does not form a value of the wanted kind.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A bad argument handed to a routine ("Invalid record number", a bad length marker).
class EArgumentError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// The system's text for an error code (errno on POSIX, GetLastError/WSAGetLastError on
// Windows), without trailing line breaks, blanks or full stop.
std::u16string SysErrorMessage(int errorCode);

} // namespace vantrelo
