#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

// Whether two status records are of one and the same file.
inline bool sameFile(const struct stat& one, const struct stat& other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// A file or folder the system has opened for the program, closed when this goes.
class Descriptor
{
public:
    explicit Descriptor(int opened = -1)
        : fd(opened)
    {
    }
    Descriptor(Descriptor&& other) noexcept
        : fd(std::exchange(other.fd, -1))
    {
    }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    // Hands the descriptor on to whoever closes it next.
    int release() { return std::exchange(fd, -1); }

private:
    int fd;
};
