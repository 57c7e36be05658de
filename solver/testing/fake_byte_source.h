#pragma once

#include "word_list_file.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

/// A word list's bytes without a file: handed out in pieces of the given sizes,
/// taken in turn and again from the first (whole reads when none are given), and
/// failing with `error` at the read that would hand out byte `failAt`. It can note
/// how many bytes each read asked for.
class FakeByteSource : public ByteSource {
public:
    explicit FakeByteSource(std::string bytes, std::vector<std::size_t> pieces = {},
                            std::optional<std::size_t> failAt = std::nullopt, int error = EIO)
        : m_bytes(std::move(bytes)),
          m_pieces(std::move(pieces)),
          m_failAt(failAt),
          m_error(error) {}

    /// Notes in `sizes` the size that each read from now on asks for.
    void recordRequestsIn(std::vector<std::size_t>& sizes) { m_requests = &sizes; }

    std::size_t read(char* bytes, std::size_t size) override {
        if (m_requests != nullptr) {
            m_requests->push_back(size);
        }
        if (m_failAt && m_pos >= *m_failAt && m_pos < m_bytes.size()) {
            throw std::system_error(m_error, std::generic_category(), "reading the word list");
        }
        std::size_t count = std::min(size, m_bytes.size() - m_pos);
        if (!m_pieces.empty()) {
            count = std::min(count, std::max<std::size_t>(m_pieces[m_reads % m_pieces.size()], 1));
        }
        if (m_failAt && m_pos < *m_failAt) {
            count = std::min(count, *m_failAt - m_pos);
        }
        std::copy_n(m_bytes.data() + m_pos, count, bytes);
        m_pos += count;
        ++m_reads;
        return count;
    }

private:
    std::string m_bytes;
    std::vector<std::size_t> m_pieces;
    std::optional<std::size_t> m_failAt;
    int m_error;
    std::size_t m_pos = 0;
    std::size_t m_reads = 0;
    std::vector<std::size_t>* m_requests = nullptr;
};
