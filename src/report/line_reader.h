#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ornexa {

// What a read opens: any file that can be read (a pipe, standard input), or regular files only, as
// the window does, where a FIFO would block the read until some writer opens it.
enum class FileKinds { Any, RegularOnly };

// Whole percent of the file read, 0..100.
using ProgressFn = std::function<void(int percent)>;

// The bytes of a file read to its end at once, whatever kind of file it is (a pipe gives what its writers
// wrote before the last one closed it), or why it could not be read, in the words of ReportLineReader.
struct FileBytes {
    std::string bytes;
    std::optional<std::string> failure;
};
FileBytes ReadFileBytes(const std::filesystem::path& path);

// Reads a report file line by line, a block at a time: a line that lies whole in the block is
// handed out where it lies, only one that runs across the end of a block is put together in a
// line of its own. Line ends CRLF, LF and CR alone all end a line. Counts lines and bytes and
// reports progress after every line. A line longer than MaxLineBytes ends the read with an
// error: no report has one, and a file without line ends (a device, a binary) must not be read
// for ever.
class ReportLineReader {
public:
    static constexpr std::size_t MaxLineBytes = std::size_t{1024} * 1024;
    static constexpr std::size_t DefaultBlockBytes = std::size_t{1024} * 1024;

    // `blockBytes` (at least 1) is the size of each read from the file.
    explicit ReportLineReader(ProgressFn progress = {}, std::size_t blockBytes = DefaultBlockBytes);

    // Opens the file; on failure returns a description that names the file and the reason.
    std::optional<std::string> Open(const std::filesystem::path& path, FileKinds kinds = FileKinds::Any);
    // Called just after Open, before any line is read: the file's bytes, read a block at a time
    // without looking for lines, appended to `into`. Returns why the file could not be read, in the
    // words of the line reads.
    std::optional<std::string> ReadRest(std::string& into);
    // Reads `bytes` as the file `name` holds them (the name only goes into messages). The bytes are
    // not copied: they must outlive the read.
    void OpenBytes(std::string_view bytes, const std::filesystem::path& name);
    void Close();
    // Closes the file and reports where the read ended: 100 after the last line, 0 after a stop.
    void End(int percent);

    // The next line without its end, cut after `maxLength` characters (the rest of a longer line
    // is read past, never kept). Empty when the file has no further line or could not be read;
    // the view stays valid until the next call.
    std::optional<std::string_view> ReadReportLine(std::size_t maxLength);

    // Set when reading stopped on an input error or an endless line rather than at the end of the file.
    [[nodiscard]] const std::optional<std::string>& Error() const { return error_; }

    [[nodiscard]] std::int64_t ReadLineNo() const { return lineNo_; }
    [[nodiscard]] std::int64_t BytesRead() const { return bytesRead_; }
    [[nodiscard]] std::int64_t ReadFileLength() const { return fileLength_; }
    [[nodiscard]] int Percent() const;

private:
    bool Fill();
    std::size_t NextLineEnd(); // buffer index of the next CR or LF, or end_
    void Progress();

    static constexpr std::size_t NotSearched = static_cast<std::size_t>(-1);

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::optional<std::string_view> bytes_; // read from memory rather than from file_
    std::filesystem::path path_;
    std::size_t blockBytes_;
    std::unique_ptr<char[]> buffer_; // NOLINT(modernize-avoid-c-arrays): a block, not filled in advance
    const char* block_ = nullptr;    // the block being read: buffer_, or the bytes read from memory
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t nextLF_ = NotSearched;
    std::size_t nextCR_ = NotSearched;
    bool eof_ = false;
    bool skipLineFeed_ = false; // the previous line ended in CR: a following LF belongs to it
    std::string line_;          // a line read across the end of a block
    std::optional<std::string> error_;
    std::int64_t lineNo_ = 0;
    std::int64_t bytesRead_ = 0;
    std::int64_t fileLength_ = 0;
    int lastPercent_ = -1;
    ProgressFn progress_;
};

} // namespace ornexa
