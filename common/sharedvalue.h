#ifndef SHAREDVALUE_H
#define SHAREDVALUE_H

// Fields that a device worker writes on its own thread while the GUI thread
// reads them once per second. Scalars are atomics (reads and writes keep
// their plain syntax); texts are guarded by a small lock and handed out as
// copies.

#include <QString>
#include <atomic>
#include <mutex>

template <typename T>
using Shared = std::atomic<T>;

class SharedText
{
public:
    SharedText() = default;
    SharedText(const QString &text) : m_text(text) {}
    SharedText(const SharedText &other) : m_text(other.text()) {}
    SharedText &operator=(const SharedText &other)
    {
        if (this != &other)
            *this = other.text();
        return *this;
    }
    SharedText &operator=(const QString &text)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_text = text;
        return *this;
    }
    QString text() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_text;
    }
    operator QString() const { return text(); }
    bool isEmpty() const { return text().isEmpty(); }
    bool operator==(const QString &other) const { return text() == other; }
    bool operator!=(const QString &other) const { return text() != other; }

private:
    mutable std::mutex m_lock; // a lock the thread checker can see
    QString m_text;
};

#endif // SHAREDVALUE_H
