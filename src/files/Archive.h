// Object archive: little-endian fixed-width values, length-prefixed strings, counts and
// class-tagged object records, written through a buffer and read bounds-checked from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvex {

// Why reading or writing an archive failed.
enum class ArchiveError {
    PrematureEnd,  // the bytes ended inside a value
    BadObject,     // unknown class name, bad class or object index, object of the wrong class
    BadSchema,     // a class record with another schema than the registered one
    Io,            // the operating system refused (code holds errno)
    Aborted,       // the user asked to abort
};

class CArchiveException : public std::exception {
  public:
    explicit CArchiveException(ArchiveError cause, int code = 0) : m_cause(cause), m_nCode(code) {}
    ArchiveError Cause() const { return m_cause; }
    int Code() const { return m_nCode; }
    const char* what() const noexcept override;

  private:
    ArchiveError m_cause;
    int m_nCode;
};

// Where a writer sends its bytes.
class IByteSink {
  public:
    virtual ~IByteSink() = default;
    // Writes all n bytes or throws CArchiveException.
    virtual void Write(const uint8_t* data, std::size_t n) = 0;
};

class CVectorSink : public IByteSink {
  public:
    std::vector<uint8_t> bytes;
    void Write(const uint8_t* data, std::size_t n) override {
        bytes.insert(bytes.end(), data, data + n);
    }
};

inline void StoreWord(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreDWord(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline uint16_t LoadWord(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadDWord(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Tag words of object records.
inline constexpr uint16_t kNullTag = 0;
inline constexpr uint16_t kNewClassTag = 0xFFFF;
inline constexpr uint16_t kClassTagBit = 0x8000;
inline constexpr uint16_t kBigTag = 0x7FFF;
inline constexpr uint32_t kBigClassBit = 0x80000000u;

class CArchiveWriter {
  public:
    static constexpr std::size_t kBufferSize = 16384;

    explicit CArchiveWriter(IByteSink& sink);

    void Word(uint16_t v) { StoreWord(Space(2), v); }
    void DWord(uint32_t v) { StoreDWord(Space(4), v); }
    void Long(int32_t v) { DWord(static_cast<uint32_t>(v)); }
    void Float(float v);
    void Bytes(const void* data, std::size_t n);
    void String(std::string_view s);
    void Count(uint32_t n);
    // Starts a new object: the class record on the class's first use, else its class tag.
    // The class takes the next index when first written, then the object takes the next one.
    void NewObject(std::string_view className, uint16_t schema);
    void NullObject() { Word(kNullTag); }
    void Reference(uint32_t objectIndex);
    uint32_t LastIndex() const { return m_nNextIndex - 1; }

    // Room for n (≤ kBufferSize) bytes in the buffer; the caller fills them all.
    uint8_t* Space(std::size_t n) {
        if (m_nUsed + n > kBufferSize) Flush();
        uint8_t* p = m_buffer.data() + m_nUsed;
        m_nUsed += n;
        return p;
    }
    void Flush();

  private:
    IByteSink& m_sink;
    std::vector<uint8_t> m_buffer;
    std::size_t m_nUsed = 0;
    std::unordered_map<std::string, uint32_t> m_classIndex;
    uint32_t m_nNextIndex = 1;
};

// Where a reader takes its bytes from when they are not all in memory.
class IByteSource {
  public:
    virtual ~IByteSource() = default;
    // Reads up to n bytes from `offset` into `into`; returns the count (0 at the end) or throws
    // CArchiveException(Io).
    virtual std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t n) = 0;
};

class CArchiveReader {
  public:
    // What an object tag announced.
    struct ObjectTag {
        enum Kind { Null, New, Reference } kind = Null;
        int classId = -1;            // the caller's id given at RegisterClass
        uint32_t index = 0;          // object index (new objects take the next one)
        std::size_t slot = kNoSlot;  // for references: the slot set for that object
    };
    static constexpr std::size_t kNoSlot = std::numeric_limits<std::size_t>::max();

    // Bytes in memory.
    CArchiveReader(const uint8_t* data, std::size_t size)
        : m_pData(data), m_nSize(size), m_nWindowSize(size) {}
    // `size` bytes from a source, held in memory only a window at a time: the window is about
    // `window` bytes, more only while one value (a long string) needs more.
    CArchiveReader(IByteSource& source, std::size_t size, std::size_t window)
        : m_pData(nullptr), m_nSize(size), m_pSource(&source), m_nWindow(window) {}

    std::size_t Offset() const { return m_nPos; }
    std::size_t Remaining() const { return m_nSize - m_nPos; }
    void Seek(std::size_t offset);

    // A pointer to the next n bytes, which are consumed; throws PrematureEnd when missing. The
    // bytes stay valid until the next Take.
    const uint8_t* Take(std::size_t n) {
        if (n > m_nWindowStart + m_nWindowSize - m_nPos) Refill(n);
        const uint8_t* p = m_pData + (m_nPos - m_nWindowStart);
        m_nPos += n;
        return p;
    }
    // Throws PrematureEnd unless count items of itemSize bytes can still follow.
    void Need(uint64_t count, std::size_t itemSize) const {
        if (count > Remaining() / itemSize) throw CArchiveException(ArchiveError::PrematureEnd);
    }
    uint16_t Word() { return LoadWord(Take(2)); }
    uint32_t DWord() { return LoadDWord(Take(4)); }
    int32_t Long() { return static_cast<int32_t>(DWord()); }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    float Float();
    std::string String();
    uint32_t Count();
    void Skip(std::size_t n) { Take(n); }

    // Classes this reader accepts; any other class name is a bad object.
    void RegisterClass(std::string name, uint16_t schema, int classId);
    ObjectTag ReadObjectTag();
    // Remembers what a new object became, so that later references to it can be resolved.
    void SetObjectSlot(uint32_t index, std::size_t slot);

  private:
    struct Registered {
        uint16_t schema;
        int classId;
    };
    struct Entry {
        bool isClass;
        int classId;
        std::size_t slot;
    };
    ObjectTag NewObjectOf(int classId);
    ObjectTag ReferenceTo(uint32_t index);
    // Makes the window hold the n bytes from the position (reading them from the source).
    void Refill(std::size_t n);

    const uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
    IByteSource* m_pSource = nullptr;
    std::size_t m_nWindow = 0;
    std::size_t m_nWindowStart = 0;  // offset of m_pData[0]
    std::size_t m_nWindowSize = 0;   // bytes valid from there
    std::vector<uint8_t> m_window;
    std::unordered_map<std::string, Registered> m_registry;
    std::vector<Entry> m_entries{Entry{false, -1, kNoSlot}};  // index 0 is the null object
};

}  // namespace orvex
