#include "store/TextColumn.h"

#include "app/Error.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t maxCodes = std::size_t(std::numeric_limits<quint16>::max()) + 1;
// Past this many distinct values a dictionary must also save room to stay.
constexpr std::size_t smallDictionary = 4096;

std::string_view viewOf(QByteArrayView text) {
    return std::string_view(text.data(), std::size_t(text.size()));
}

void appendTo(std::vector<char>& bytes, std::vector<quint32>& ends, QByteArrayView text) {
    const std::size_t end = bytes.size() + std::size_t(text.size());
    if (end > std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("The texts of a column are too large to be read"));
    bytes.insert(bytes.end(), text.begin(), text.end());
    ends.push_back(quint32(end));
}

} // namespace

void TextColumn::append(QByteArrayView text) {
    if (coded_)
        appendCoded(text);
    else
        appendBytes(text);
}

QByteArrayView TextColumn::at(quint32 row) const {
    if (coded_)
        return dictionary_[codes_[row]];
    const quint32 begin = row == 0 ? 0 : ends_[row - 1];
    return QByteArrayView(bytes_.data() + begin, ends_[row] - begin);
}

// Coded texts join through a map of the other dictionary's codes to this
// one's, while both dictionaries fit in one; otherwise as bytes.
void TextColumn::append(const TextColumn& other) {
    if (coded_ && other.coded_ && joinCodes(other))
        return;
    if (other.coded_) {
        if (coded_)
            switchToBytes();
        for (const quint16 code : other.codes_)
            appendBytes(other.dictionary_[code]);
        return;
    }
    if (coded_)
        switchToBytes();
    const quint32 offset = ends_.empty() ? 0 : ends_.back();
    if (std::size_t(offset) + other.bytes_.size() > std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("The texts of a column are too large to be read"));
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    ends_.reserve(ends_.size() + other.ends_.size());
    for (const quint32 end : other.ends_)
        ends_.push_back(end + offset);
}

void TextColumn::reserve(quint32 rows) {
    reservedRows_ = rows;
    if (coded_)
        codes_.reserve(rows);
    else
        ends_.reserve(rows);
}

void TextColumn::truncate(quint32 rows) {
    if (coded_) {
        codes_.resize(rows);
        return;
    }
    bytes_.resize(rows == 0 ? 0 : ends_[rows - 1]);
    ends_.resize(rows);
}

void TextColumn::eraseRows(quint32 first, quint32 last) {
    if (first >= last)
        return;
    if (coded_) {
        codes_.erase(codes_.begin() + first, codes_.begin() + last);
        return;
    }
    const quint32 begin = first == 0 ? 0 : ends_[first - 1];
    const quint32 end = ends_[last - 1];
    bytes_.erase(bytes_.begin() + begin, bytes_.begin() + end);
    ends_.erase(ends_.begin() + first, ends_.begin() + last);
    for (auto it = ends_.begin() + first; it != ends_.end(); ++it)
        *it -= end - begin;
}

void TextColumn::reorder(const std::vector<quint32>& order) {
    if (coded_) {
        std::vector<quint16> codes;
        codes.reserve(codes_.size());
        for (const quint32 row : order)
            codes.push_back(codes_[row]);
        codes_ = std::move(codes);
        return;
    }
    std::vector<char> bytes;
    bytes.reserve(bytes_.size());
    std::vector<quint32> ends;
    ends.reserve(ends_.size());
    for (const quint32 row : order) {
        const QByteArrayView text = at(row);
        bytes.insert(bytes.end(), text.begin(), text.end());
        ends.push_back(quint32(bytes.size()));
    }
    bytes_ = std::move(bytes);
    ends_ = std::move(ends);
}

// The same text as the row before is the common case and spares the lookup.
void TextColumn::appendCoded(QByteArrayView text) {
    if (!dictionary_.empty() && dictionary_[lastCode_] == text) {
        codes_.push_back(lastCode_);
        return;
    }
    const auto found = codeOf_.find(viewOf(text));
    if (found != codeOf_.end()) {
        lastCode_ = found->second;
        codes_.push_back(lastCode_);
        return;
    }
    const std::size_t distinct = dictionary_.size();
    if (distinct == maxCodes || (distinct >= smallDictionary && distinct * 2 > codes_.size())) {
        switchToBytes();
        appendBytes(text);
        return;
    }
    dictionary_.push_back(text.toByteArray());
    lastCode_ = quint16(distinct);
    codeOf_.emplace(viewOf(dictionary_.back()), lastCode_);
    codes_.push_back(lastCode_);
}

bool TextColumn::joinCodes(const TextColumn& other) {
    std::size_t added = 0;
    for (const QByteArray& text : other.dictionary_)
        added += codeOf_.contains(viewOf(text)) ? 0 : 1;
    if (dictionary_.size() + added > maxCodes)
        return false;
    std::vector<quint16> codeMap;
    codeMap.reserve(other.dictionary_.size());
    for (const QByteArray& text : other.dictionary_) {
        const auto found = codeOf_.find(viewOf(text));
        if (found != codeOf_.end()) {
            codeMap.push_back(found->second);
            continue;
        }
        dictionary_.push_back(text);
        codeMap.push_back(quint16(dictionary_.size() - 1));
        codeOf_.emplace(viewOf(dictionary_.back()), codeMap.back());
    }
    codes_.reserve(codes_.size() + other.codes_.size());
    for (const quint16 code : other.codes_)
        codes_.push_back(codeMap[code]);
    return true;
}

void TextColumn::appendBytes(QByteArrayView text) {
    appendTo(bytes_, ends_, text);
}

// Leaves the column as it was when the texts do not fit.
void TextColumn::switchToBytes() {
    std::vector<char> bytes;
    std::vector<quint32> ends;
    std::size_t length = 0;
    for (const quint16 code : codes_)
        length += std::size_t(dictionary_[code].size());
    // The texts so far tell the room the reserved rows need.
    const std::size_t rows = std::max<std::size_t>(codes_.size(), reservedRows_);
    ends.reserve(rows);
    bytes.reserve(codes_.empty() ? length : length / codes_.size() * rows + length);
    for (const quint16 code : codes_)
        appendTo(bytes, ends, dictionary_[code]);
    bytes_ = std::move(bytes);
    ends_ = std::move(ends);
    coded_ = false;
    codes_ = {};
    codeOf_ = {};
    dictionary_ = {};
}
