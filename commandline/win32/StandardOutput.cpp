#include "commandline/win32/StandardOutput.h"

#include "listing/Utf8.h"

#include <algorithm>
#include <string>

namespace quorvel {

namespace {

bool isConsole(HANDLE h)
{
    DWORD mode = 0;
    return ::GetConsoleMode(h, &mode) != 0;
}

bool usable(HANDLE h)
{
    return h && h != INVALID_HANDLE_VALUE;
}

const wchar_t* wide(const std::u16string& s)
{
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

// The system's words for the last error, without its full stop and line end.
std::u16string lastError()
{
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string out = n ? std::u16string(text, text + n) : u"error " + decimal(code);
    ::LocalFree(text);
    while (!out.empty() && (out.back() == u'\n' || out.back() == u'\r' || out.back() == u' ' || out.back() == u'.'))
        out.pop_back();
    return out;
}

bool writeBytes(HANDLE h, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
        if (!::WriteFile(h, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// In pieces a console takes, never splitting a surrogate pair.
bool writeConsole(HANDLE h, std::u16string_view text)
{
    while (!text.empty()) {
        std::size_t n = std::min<std::size_t>(text.size(), 8192);
        if (n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF)
            --n;
        DWORD written = 0;
        if (!::WriteConsoleW(h, text.data(), static_cast<DWORD>(n), &written, nullptr) || written == 0)
            return false;
        text.remove_prefix(written);
    }
    return true;
}

bool writeText(HANDLE h, std::u16string_view text)
{
    if (isConsole(h))
        return writeConsole(h, text);
    const std::string bytes = toUtf8(text);
    return writeBytes(h, bytes.data(), bytes.size());
}

} // namespace

bool StandardOutput::prepare(const std::optional<std::u16string>& file, std::u16string& why)
{
    if (!file) {
        listing_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (usable(listing_))
            return true;
        listing_ = nullptr;
        why = u"there is no standard output to write to: name a file with --out";
        return false;
    }
    file_ = *file;
    // A device (NUL, CON, a pipe) takes the listing straight: it has no
    // folder to put a file beside, and nothing to replace.
    HANDLE existing = ::CreateFileW(wide(*file), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (existing != INVALID_HANDLE_VALUE) {
        if (::GetFileType(existing) != FILE_TYPE_DISK) {
            listing_ = existing;
            device_ = true;
            return true;
        }
        ::CloseHandle(existing);
    }
    // Beside the file, so that putting it in place is a rename within one
    // folder; deleted when closed, so that a process ended mid-write (its
    // console closed, say) leaves nothing behind.
    temporary_ = file_ + u"." + decimal(::GetCurrentProcessId()) + u".tmp";
    listing_ = ::CreateFileW(wide(temporary_), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (listing_ != INVALID_HANDLE_VALUE) {
        FILE_DISPOSITION_INFO dispose{TRUE};
        ::SetFileInformationByHandle(listing_, FileDispositionInfo, &dispose, sizeof dispose);
        return true;
    }
    listing_ = nullptr;
    why = u"cannot write " + *file + u": " + lastError();
    temporary_.clear();
    return false;
}

bool StandardOutput::write(std::u16string_view listing, std::u16string& why)
{
    if (temporary_.empty()) {
        if (writeText(listing_, listing))
            return true;
        why = device_ ? u"cannot write " + file_ + u": " + lastError()
                      : u"cannot write to standard output: " + lastError();
        return false;
    }
    const std::string bytes = toUtf8(listing);
    FILE_DISPOSITION_INFO keep{FALSE};
    bool done = writeBytes(listing_, bytes.data(), bytes.size()) && ::FlushFileBuffers(listing_) &&
                ::SetFileInformationByHandle(listing_, FileDispositionInfo, &keep, sizeof keep);
    if (done) {
        ::CloseHandle(listing_);
        listing_ = nullptr;
        done = ::MoveFileExW(wide(temporary_), wide(file_), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (done) {
        temporary_.clear();
        return true;
    }
    why = u"cannot write " + file_ + u": " + lastError();
    abandon();
    return false;
}

void StandardOutput::abandon()
{
    if (temporary_.empty())
        return;
    if (listing_)
        ::CloseHandle(listing_);
    listing_ = nullptr;
    ::DeleteFileW(wide(temporary_));
    temporary_.clear();
}

void StandardOutput::printOut(std::u16string_view text)
{
    HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (usable(h))
        writeText(h, text);
}

void StandardOutput::printError(std::u16string_view text)
{
    HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
    if (usable(h))
        writeText(h, text);
}

} // namespace quorvel
