#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

// A column of UTF-8 texts. While it holds few distinct values (station names,
// hemisphere letters) each row is a two-byte code into a dictionary; once the
// values are mostly distinct (coordinates) the rows' bytes follow one another
// in one buffer.
class TextColumn {
public:
    void append(QByteArrayView text); // throws Error past 4 GiB of text
    void append(const TextColumn& other);
    QByteArrayView at(quint32 row) const;
    // Room for this many rows, kept also for the bytes of texts once the
    // column holds them so.
    void reserve(quint32 rows);
    void truncate(quint32 rows);
    void eraseRows(quint32 first, quint32 last); // rows first .. last - 1
    // Row i becomes the row order[i] was; order holds every row once.
    void reorder(const std::vector<quint32>& order);

private:
    void appendCoded(QByteArrayView text);
    void appendBytes(QByteArrayView text);
    bool joinCodes(const TextColumn& other);
    void switchToBytes();

    bool coded_ = true;
    std::vector<quint16> codes_;
    std::deque<QByteArray> dictionary_; // never moves its texts, which codeOf_ views
    std::unordered_map<std::string_view, quint16> codeOf_;
    quint16 lastCode_ = 0;
    quint32 reservedRows_ = 0;

    std::vector<char> bytes_;
    std::vector<quint32> ends_; // end of each row's text in bytes_
};
