#include "report/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace ornexa {

namespace {

std::string OpenFailure(const std::filesystem::path& path, std::string_view reason) {
    return "Cannot open file \"" + path.string() + "\": " + std::string(reason);
}

std::string ReadFailureText(const std::filesystem::path& path, int error) {
    return "Cannot read file \"" + path.string() + "\": " + std::strerror(error);
}
} // namespace

FileBytes ReadFileBytes(const std::filesystem::path& path) {
    FileBytes read;
    ReportLineReader reader({}, std::size_t{64} * 1024);
    read.failure = reader.Open(path);
    if (!read.failure) {
        read.failure = reader.ReadRest(read.bytes);
    }
    if (read.failure) {
        read.bytes.clear();
    }
    return read;
}

ReportLineReader::ReportLineReader(ProgressFn progress, std::size_t blockBytes)
    : blockBytes_(std::max<std::size_t>(1, blockBytes)), progress_(std::move(progress)) {}

std::optional<std::string> ReportLineReader::Open(const std::filesystem::path& path, FileKinds kinds) {
    Close();
    path_ = path;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) {
        return OpenFailure(path, "it is a folder");
    }
    if (kinds == FileKinds::RegularOnly && std::filesystem::exists(status) &&
        !std::filesystem::is_regular_file(status)) {
        return OpenFailure(path, "it is not a regular file (a pipe, a device or a socket)");
    }
    errno = 0;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
        return OpenFailure(path, errno != 0 ? std::strerror(errno) : "unknown reason");
    }
    const auto size = std::filesystem::file_size(path, ec);
    fileLength_ = ec ? 0 : static_cast<std::int64_t>(size);
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(blockBytes_); // NOLINT(modernize-avoid-c-arrays)
    }
    return std::nullopt;
}

std::optional<std::string> ReportLineReader::ReadRest(std::string& into) {
    if (!file_) {
        return std::nullopt;
    }
    into.reserve(into.size() + static_cast<std::size_t>(fileLength_));
    for (;;) {
        const std::size_t got = std::fread(buffer_.get(), 1, blockBytes_, file_.get());
        if (got < blockBytes_ && std::ferror(file_.get()) != 0) {
            return ReadFailureText(path_, errno);
        }
        into.append(buffer_.get(), got);
        bytesRead_ += static_cast<std::int64_t>(got);
        if (got < blockBytes_) {
            eof_ = true;
            return std::nullopt;
        }
    }
}

void ReportLineReader::OpenBytes(std::string_view bytes, const std::filesystem::path& name) {
    Close();
    path_ = name;
    bytes_ = bytes;
    fileLength_ = static_cast<std::int64_t>(bytes.size());
}

void ReportLineReader::Close() {
    file_.reset();
    bytes_.reset();
    block_ = nullptr;
    pos_ = end_ = 0;
    eof_ = false;
    skipLineFeed_ = false;
    error_.reset();
    lineNo_ = 0;
    bytesRead_ = 0;
    fileLength_ = 0;
    lastPercent_ = -1;
}

void ReportLineReader::End(int percent) {
    Close();
    if (progress_) {
        progress_(percent);
    }
}

bool ReportLineReader::Fill() {
    if (eof_) {
        return false;
    }
    pos_ = 0;
    nextLF_ = nextCR_ = NotSearched;
    if (bytes_) {
        // The bytes in memory are one block, handed out once.
        block_ = bytes_->data();
        end_ = bytes_->size();
        bytes_ = std::string_view();
        eof_ = end_ == 0;
        return !eof_;
    }
    if (!file_) {
        return false;
    }
    block_ = buffer_.get();
    end_ = std::fread(buffer_.get(), 1, blockBytes_, file_.get());
    if (end_ == 0) {
        eof_ = true;
        if (std::ferror(file_.get()) != 0) {
            error_ = ReadFailureText(path_, errno);
        }
        return false;
    }
    return true;
}

std::size_t ReportLineReader::NextLineEnd() {
    // Each kind of line end is searched once per stretch of the buffer, so a file of CRs alone
    // stays as fast as one of CRLFs.
    const auto find = [this](std::size_t& cached, char c) {
        if (cached < pos_ || cached == NotSearched) {
            const auto* hit = static_cast<const char*>(std::memchr(block_ + pos_, c, end_ - pos_));
            cached = hit == nullptr ? end_ : static_cast<std::size_t>(hit - block_);
        }
        return cached;
    };
    return std::min(find(nextLF_, '\n'), find(nextCR_, '\r'));
}

int ReportLineReader::Percent() const {
    if (fileLength_ <= 0) {
        return eof_ ? 100 : 0;
    }
    return static_cast<int>(std::min<std::int64_t>(100, bytesRead_ * 100 / fileLength_));
}

void ReportLineReader::Progress() {
    if (progress_) {
        const int percent = Percent();
        if (percent != lastPercent_) {
            lastPercent_ = percent;
            progress_(percent);
        }
    }
}

std::optional<std::string_view> ReportLineReader::ReadReportLine(std::size_t maxLength) {
    if (skipLineFeed_) {
        skipLineFeed_ = false;
        if ((pos_ < end_ || Fill()) && block_[pos_] == '\n') {
            ++pos_;
            ++bytesRead_;
        }
    }
    bool any = false;
    bool pieced = false; // the line runs across the end of a block: put together in line_
    std::string_view inBlock;
    std::size_t lineBytes = 0;
    line_.clear();
    for (;;) {
        if (pos_ >= end_ && !Fill()) {
            if (!any) {
                return std::nullopt;
            }
            break; // last line without a line end
        }
        any = true;
        const std::size_t hit = NextLineEnd();
        const std::size_t length = hit - pos_;
        if (lineBytes + length > MaxLineBytes) {
            // Read as far as the first byte beyond the limit, whatever the block size.
            bytesRead_ += static_cast<std::int64_t>(MaxLineBytes + 1 - lineBytes);
            error_ = "Line " + std::to_string(lineNo_ + 1) + " is longer than 1 MiB: not a report file";
            eof_ = true;
            pos_ = end_ = 0;
            return std::nullopt;
        }
        const bool ends = hit != end_;
        const char* begin = block_ + pos_;
        if (ends && !pieced) {
            inBlock = std::string_view(begin, std::min(length, maxLength));
        } else {
            pieced = true;
            if (line_.size() < maxLength) {
                line_.append(begin, std::min(length, maxLength - line_.size()));
            }
        }
        bytesRead_ += static_cast<std::int64_t>(length);
        pos_ += length;
        lineBytes += length;
        if (ends) {
            ++pos_;
            ++bytesRead_;
            skipLineFeed_ = block_[hit] == '\r';
            break;
        }
    }
    ++lineNo_;
    Progress();
    return pieced ? std::string_view(line_) : inBlock;
}

} // namespace ornexa
