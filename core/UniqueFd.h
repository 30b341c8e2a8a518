#pragma once

#include "core/SystemCalls.h"

#include <utility>

// Owns an open file descriptor and closes it through the system-call seam.
class UniqueFd {
public:
    UniqueFd() = default;
    UniqueFd(int fd, SystemCalls& ops) : m_fd(fd), m_ops(&ops) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)), m_ops(other.m_ops) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
            m_ops = other.m_ops;
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; returns what close returned (0 when nothing was open).
    int reset() {
        if (m_fd < 0)
            return 0;
        return m_ops->close(std::exchange(m_fd, -1));
    }

private:
    int m_fd = -1;
    SystemCalls* m_ops = nullptr;
};
