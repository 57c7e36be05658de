#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

/// Reads the word list line by line, never loading it whole. A line ends at CR,
/// CRLF or LF; the terminator is not part of the word, and nothing else is removed.
/// The last line may lack a terminator; no empty word is read after a final one.
/// The file is open from construction (Open) to destruction (Close).
class WordListReader {
public:
    /// Opens the list and reads its first block. Throws SolveFailure when the file
    /// is missing, can't be opened, or can't be read (a directory, for instance).
    explicit WordListReader(const std::filesystem::path& path);

    /// True when no further line remains. Throws SolveFailure on a read error.
    bool atEnd() { return (m_pos == m_end || m_afterCr) && atEndOfBlock(); }

    /// The next line, without its terminator; only call it when `atEnd()` is false.
    /// The view stays valid until the next call of `atEnd()` or `readLine()`, and at
    /// least Word::kPadding readable bytes follow it.
    std::string_view readLine();

private:
    bool atEndOfBlock();
    void skipLineEnd(const char* lineEnd);
    bool refill();

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::unique_ptr<char[]> m_buffer;  // a block, and room to read past its end
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    std::string m_longLine;  // a line that spans blocks
    bool m_afterCr = false;  // the last block ended in CR: skip an LF that follows
};
