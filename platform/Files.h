#pragma once
// The file-system seam: working folder, folder creation, whole-file reads and writes.
#include <string>
#include <string_view>

#include "platform/AnsiString.h"

namespace vantrelo {

constexpr char16_t PathDelim =
#ifdef _WIN32
    u'\\';
#else
    u'/';
#endif

std::u16string GetCurrentDir();
bool DirectoryExists(std::u16string_view path);
// Creates the folder and any missing parents; false when it cannot.
bool ForceDirectories(std::u16string_view path);
// Creates or empties the file and writes the bytes. Raises EFCreateError
// "Cannot create file \"%s\". %s" with the path and the system's reason.
void WriteFileBytes(std::u16string_view path, std::string_view bytes);
// The whole content of a file; false (and bytes empty) when it does not exist or cannot be read.
bool ReadFileBytes(std::u16string_view path, std::string& bytes);
// The full path of the running executable.
std::u16string ExecutablePath();

} // namespace vantrelo
