#pragma once

// A text that carries its hash, as the key of a hash table of many texts
// alike: items that differ only at their end ("教材費 その1201",
// "教材費 その1202"). The table compares the keys it passes on its way to a
// key's place; with the hash first, a text is read to its end only when it is
// most likely the one sought.

#include <QHash>
#include <QString>

namespace sorobe {

struct HashedText {
    QString text;
    size_t hash;

    explicit HashedText(const QString& text)
        : text(text)
        , hash(qHash(text, 0)) {}

    friend bool operator==(const HashedText& a, const HashedText& b) {
        return a.hash == b.hash && a.text == b.text;
    }
    friend size_t qHash(const HashedText& key, size_t seed) { return key.hash ^ seed; }
};

} // namespace sorobe
