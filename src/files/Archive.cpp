#include "files/Archive.h"

#include <algorithm>
#include <bit>
#include <cerrno>

#include "host/FileBytes.h"

namespace orvex {

namespace {
constexpr std::size_t kLargeWindow = 64u << 20;
}  // namespace

const char* CArchiveException::what() const noexcept {
    switch (m_cause) {
        case ArchiveError::PrematureEnd:
            return "premature end of archive";
        case ArchiveError::BadObject:
            return "bad object in archive";
        case ArchiveError::BadSchema:
            return "bad schema in archive";
        case ArchiveError::Io:
            return "archive input/output error";
        case ArchiveError::Aborted:
            return "archive operation aborted";
    }
    return "archive error";
}

CArchiveWriter::CArchiveWriter(IByteSink& sink) : m_sink(sink), m_buffer(kBufferSize) {}

void CArchiveWriter::Float(float v) {
    DWord(std::bit_cast<uint32_t>(v));
}

void CArchiveWriter::Bytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (n > 0) {
        if (m_nUsed == kBufferSize) Flush();
        std::size_t chunk = std::min(n, kBufferSize - m_nUsed);
        std::memcpy(m_buffer.data() + m_nUsed, p, chunk);
        m_nUsed += chunk;
        p += chunk;
        n -= chunk;
    }
}

void CArchiveWriter::String(std::string_view s) {
    const std::size_t len = s.size();
    if (len < 0xFF) {
        *Space(1) = static_cast<uint8_t>(len);
    } else if (len < 0xFFFE) {
        *Space(1) = 0xFF;
        Word(static_cast<uint16_t>(len));
    } else {
        *Space(1) = 0xFF;
        Word(0xFFFF);
        DWord(static_cast<uint32_t>(len));
    }
    Bytes(s.data(), len);
}

void CArchiveWriter::Count(uint32_t n) {
    if (n < 0xFFFF) {
        Word(static_cast<uint16_t>(n));
    } else {
        Word(0xFFFF);
        DWord(n);
    }
}

void CArchiveWriter::NewObject(std::string_view className, uint16_t schema) {
    auto it = m_classIndex.find(std::string(className));
    if (it == m_classIndex.end()) {
        Word(kNewClassTag);
        Word(schema);
        Word(static_cast<uint16_t>(className.size()));
        Bytes(className.data(), className.size());
        m_classIndex.emplace(std::string(className), m_nNextIndex++);
    } else if (it->second < kBigTag) {
        Word(static_cast<uint16_t>(kClassTagBit | it->second));
    } else {
        Word(kBigTag);
        DWord(kBigClassBit | it->second);
    }
    ++m_nNextIndex;
}

void CArchiveWriter::Reference(uint32_t objectIndex) {
    if (objectIndex < kBigTag) {
        Word(static_cast<uint16_t>(objectIndex));
    } else {
        Word(kBigTag);
        DWord(objectIndex);
    }
}

void CArchiveWriter::Flush() {
    if (m_nUsed == 0) return;
    m_sink.Write(m_buffer.data(), m_nUsed);
    m_nUsed = 0;
}

void CArchiveReader::Seek(std::size_t offset) {
    if (offset > m_nSize) throw CArchiveException(ArchiveError::PrematureEnd);
    if (offset < m_nWindowStart || offset > m_nWindowStart + m_nWindowSize) {
        // Outside the bytes held: the window starts again there.
        m_nWindowStart = offset;
        m_nWindowSize = 0;
    }
    m_nPos = offset;
}

void CArchiveReader::Refill(std::size_t n) {
    if (n > Remaining() || !m_pSource) throw CArchiveException(ArchiveError::PrematureEnd);
    // The unread bytes of the window move to its front, the rest comes from the source.
    const std::size_t kept = m_nWindowStart + m_nWindowSize - m_nPos;
    const std::size_t want = std::min(Remaining(), std::max(n, m_nWindow));
    // Only a long value makes the window large; memory must hold it.
    if (want > kLargeWindow && !MemoryAllows(want))
        throw CArchiveException(ArchiveError::Io, ENOMEM);
    if (m_window.size() < want || m_window.size() > std::max(want, m_nWindow)) {
        std::vector<uint8_t> bigger(want);
        if (kept) std::memcpy(bigger.data(), m_pData + (m_nPos - m_nWindowStart), kept);
        m_window.swap(bigger);
    } else if (kept) {
        std::memmove(m_window.data(), m_pData + (m_nPos - m_nWindowStart), kept);
    }
    std::size_t have = kept;
    while (have < want) {
        const std::size_t got =
            m_pSource->ReadAt(m_nPos + have, m_window.data() + have, want - have);
        if (got == 0) break;  // the file became shorter while it was read
        have += got;
    }
    m_pData = m_window.data();
    m_nWindowStart = m_nPos;
    m_nWindowSize = have;
    if (have < n) throw CArchiveException(ArchiveError::PrematureEnd);
}

float CArchiveReader::Float() {
    return std::bit_cast<float>(DWord());
}

std::string CArchiveReader::String() {
    uint32_t len = *Take(1);
    if (len == 0xFF) {
        len = Word();
        if (len == 0xFFFF) len = DWord();
    }
    const uint8_t* p = Take(len);  // checked against the bytes left before anything is allocated
    return std::string(reinterpret_cast<const char*>(p), len);
}

uint32_t CArchiveReader::Count() {
    uint32_t n = Word();
    if (n == 0xFFFF) n = DWord();
    return n;
}

void CArchiveReader::RegisterClass(std::string name, uint16_t schema, int classId) {
    m_registry[std::move(name)] = Registered{schema, classId};
}

CArchiveReader::ObjectTag CArchiveReader::NewObjectOf(int classId) {
    ObjectTag tag;
    tag.kind = ObjectTag::New;
    tag.classId = classId;
    tag.index = static_cast<uint32_t>(m_entries.size());
    m_entries.push_back(Entry{false, classId, kNoSlot});
    return tag;
}

CArchiveReader::ObjectTag CArchiveReader::ReferenceTo(uint32_t index) {
    if (index >= m_entries.size() || m_entries[index].isClass || m_entries[index].slot == kNoSlot) {
        throw CArchiveException(ArchiveError::BadObject);
    }
    ObjectTag tag;
    tag.kind = ObjectTag::Reference;
    tag.classId = m_entries[index].classId;
    tag.index = index;
    tag.slot = m_entries[index].slot;
    return tag;
}

CArchiveReader::ObjectTag CArchiveReader::ReadObjectTag() {
    const uint16_t word = Word();
    uint32_t classIndex = 0;
    if (word == kNewClassTag) {
        const uint16_t schema = Word();
        const uint16_t len = Word();
        const uint8_t* p = Take(len);
        auto it = m_registry.find(std::string(reinterpret_cast<const char*>(p), len));
        if (it == m_registry.end()) throw CArchiveException(ArchiveError::BadObject);
        if (it->second.schema != schema) throw CArchiveException(ArchiveError::BadSchema);
        m_entries.push_back(Entry{true, it->second.classId, kNoSlot});
        return NewObjectOf(it->second.classId);
    }
    if (word == kBigTag) {
        const uint32_t big = DWord();
        if (!(big & kBigClassBit)) return ReferenceTo(big);
        classIndex = big & ~kBigClassBit;
    } else if (word & kClassTagBit) {
        classIndex = word & ~kClassTagBit;
    } else if (word == kNullTag) {
        return ObjectTag{};
    } else {
        return ReferenceTo(word);
    }
    if (classIndex == 0 || classIndex >= m_entries.size() || !m_entries[classIndex].isClass) {
        throw CArchiveException(ArchiveError::BadObject);
    }
    return NewObjectOf(m_entries[classIndex].classId);
}

void CArchiveReader::SetObjectSlot(uint32_t index, std::size_t slot) {
    if (index < m_entries.size() && !m_entries[index].isClass) m_entries[index].slot = slot;
}

}  // namespace orvex
