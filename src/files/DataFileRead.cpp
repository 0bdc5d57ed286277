// Reading the binary data file of any version into datasets.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <iterator>
#include <new>

#include "files/Archive.h"
#include "files/DataFile.h"
#include "files/DataFileFormat.h"
#include "files/DataFileText.h"
#include "host/FileBytes.h"
#include "host/HostServices.h"
#include "processing/SpikeFilter.h"

namespace orvex {

using namespace datafile;

namespace {

// The header did not name a data file.
struct NotDataFile {};

// Large sample arrays are backed by large pages where the system offers them: one fault per
// 2 MB instead of one per 4 KB while the fresh memory is first written.
void AdviseLargePages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kLarge = 2u << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kLarge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Reads samples straight from the file bytes, so that a vector can build each one in place.
template <class TSample, bool kGears>
struct SampleDecoder {
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TSample;
    using difference_type = std::ptrdiff_t;
    using pointer = const TSample*;
    using reference = TSample;
    static constexpr difference_type kStride = kGears ? 10 : 8;

    const uint8_t* p;

    TSample operator*() const {
        TSample s;
        s.m_lTime = static_cast<int32_t>(LoadDWord(p));
        s.m_lRaw = s.m_lFiltered = static_cast<int32_t>(LoadDWord(p + 4));
        if constexpr (kGears && std::is_same_v<TSample, CShaft>) {
            s.m_nGear = static_cast<int16_t>(LoadWord(p + 8));
        }
        return s;
    }
    TSample operator[](difference_type i) const { return *(*this + i); }
    SampleDecoder& operator++() {
        p += kStride;
        return *this;
    }
    SampleDecoder operator++(int) {
        SampleDecoder old = *this;
        p += kStride;
        return old;
    }
    SampleDecoder& operator--() {
        p -= kStride;
        return *this;
    }
    SampleDecoder& operator+=(difference_type d) {
        p += d * kStride;
        return *this;
    }
    SampleDecoder operator+(difference_type d) const { return SampleDecoder{p + d * kStride}; }
    difference_type operator-(const SampleDecoder& o) const { return (p - o.p) / kStride; }
    bool operator==(const SampleDecoder& o) const { return p == o.p; }
    bool operator!=(const SampleDecoder& o) const { return p != o.p; }
    bool operator<(const SampleDecoder& o) const { return p < o.p; }
};

// Series read in pieces of at most this many bytes of the file.
constexpr std::size_t kPieceBytes = 256u << 10;
// The reader's window on a file: a few pieces.
constexpr std::size_t kFileWindow = 1u << 20;
// Series of more samples are checked against the memory available before they are allocated.
constexpr std::size_t kCheckMemoryFrom = 1u << 20;

// Default pulses per revolution of the engine types 1 to 9.
constexpr int32_t kEnginePPR[10] = {1, 4, 3, 2, 6, 3, 2, 0, 1, 1};

class CDataFileReader {
  public:
    CDataFileReader(CArchiveReader archive, const std::string& path,
                    const DataFileReadOptions& options, IProgress* progress)
        : m_ar(std::move(archive)), m_path(path), m_options(options), m_progress(progress) {
        m_ar.RegisterClass(kDatasetClass, kSchema, kDatasetId);
        m_ar.RegisterClass(kFreqClass, kSchema, kFreqId);
        m_ar.RegisterClass(kAnalogClass, kSchema, kAnalogId);
        m_ar.RegisterClass(kDigitalClass, kSchema, kDigitalId);
    }

    void Read(DataFileContents& c) {
        ReadHeader(c);
        if (!m_v.AtLeast(3, 0)) m_ar.RegisterClass(kCarSetupClass, kSchema, kCarSetupId);
        const uint32_t n = m_ar.Count();
        m_ar.Need(n, 2);
        for (uint32_t i = 0; i < n; ++i) {
            CArchiveReader::ObjectTag tag = m_ar.ReadObjectTag();
            if (tag.kind == CArchiveReader::ObjectTag::Null) continue;
            // A dataset listed twice would be owned twice.
            if (tag.kind != CArchiveReader::ObjectTag::New || tag.classId != kDatasetId) {
                throw CArchiveException(ArchiveError::BadObject);
            }
            auto ds = ReadDataset();
            if (ds) c.datasets.push_back(std::move(ds));
        }
        // Nothing follows the last dataset in a sound file.
        if (m_ar.Remaining() != 0) throw CArchiveException(ArchiveError::BadObject);
    }

  private:
    void ReadHeader(DataFileContents& c) {
        try {
            if (m_ar.Word() != kMagic || m_ar.String() != kHeader) throw NotDataFile{};
        } catch (const CArchiveException&) {
            throw NotDataFile{};
        }
        const std::size_t versionAt = m_ar.Offset();
        const uint16_t major = m_ar.Word();
        uint16_t storedLetter = 0;
        if (major > 10) {
            // No version words: what follows the header already belongs to the datasets.
            m_ar.Seek(versionAt);
            m_v = Version{2, 5, 'A'};
        } else {
            m_v.major = major;
            m_v.minor = m_ar.Word();
            const uint16_t letter = m_ar.Word();
            storedLetter = letter;
            m_v.letter = Version::Letter(letter);
            if (m_v.Is(2, 5) && letter == 0) m_v.letter = LetterFromDate();
        }
        c.major = static_cast<uint16_t>(m_v.major);
        c.minor = static_cast<uint16_t>(m_v.minor);
        // The letter as the file stores it ('e' for files of this program); a dated letter
        // when the file has none.
        c.letter = storedLetter ? storedLetter : static_cast<uint16_t>(m_v.letter);
        if (m_v.AtLeast(2, 7, 'F')) {
            const uint16_t openTrackMap = m_ar.Word();
            const uint16_t calcBanking = m_ar.Word();
            const uint16_t groundSpeedMap = m_ar.Word();
            if (m_v.Is(2, 7) && m_v.letter <= 'J') m_ar.Skip(2);
            if (!m_options.overlay) {
                c.openTrackMap = openTrackMap;
                c.calcBanking = calcBanking;
                c.groundSpeedMap = groundSpeedMap;
            }
        }
    }

    // Files of version 2.5 without a letter are dated by their modification time.
    int LetterFromDate() const {
        const std::time_t t = m_options.modificationTime.value_or(0);
        std::tm tm{};
        localtime_r(&t, &tm);
        const int year = tm.tm_year + 1900, month = tm.tm_mon + 1, day = tm.tm_mday;
        if (year < 2000 || month <= 4 || (month == 5 && day <= 4)) return 'B';
        const int lastMayC = m_options.overlay ? 8 : 28;
        if ((month == 5 && day <= lastMayC) || month == 6) return 'C';
        return 'D';
    }

    std::unique_ptr<CBriodashDataset> ReadDataset() {
        auto ds = std::make_unique<CBriodashDataset>();
        if (m_v.AtLeast(3, 1)) {
            ds->m_nLap = m_ar.Long();
            if (ds->m_nLap != 0) return nullptr;  // lap datasets are not kept
        }
        ds->m_nFramed = m_ar.Word();
        ds->m_nLoggerFamily = m_ar.Word();
        const uint32_t lines = m_ar.Count();
        m_ar.Need(lines, 1);
        for (uint32_t i = 0; i < lines; ++i) ds->m_lstComments.push_back(m_ar.String());
        uint16_t engineType = 0;
        if (!m_v.AtLeast(3, 0)) {
            engineType = m_ar.Word();
            m_ar.Word();  // second engine-channel word: the pulses follow from the type
        }
        ds->m_fClock = m_ar.Float();
        // The logger's clock rate divides every RPM period; a damaged file can hold a NaN,
        // an infinity or a negative rate, which no logger writes.
        if (!std::isfinite(ds->m_fClock) || ds->m_fClock < 0.0f) {
            throw CArchiveException(ArchiveError::BadObject);
        }
        ds->m_nBeaconsPerLap = m_ar.Word();
        ds->m_markers.m_nPerLap = ds->m_nBeaconsPerLap;
        if (m_v.AtLeast(2, 5, 'B')) m_ar.Word();  // distances are always recomputed
        ds->m_nDistanceSource = 0;
        if (m_v.AtLeast(2, 7, 'M')) {
            ds->m_nTimeRef = m_ar.Word();
            ds->m_lZeroTime = m_ar.Long();
            ds->m_strName = m_ar.String();
        }
        ds->m_strName = DataFileDatasetName(ds->m_strName, m_path);
        if (m_progress) {
            m_progress->SetStatus(kStatusDataSet, FormatText("%s - %s", ds->m_strName.c_str(),
                                                             ds->GetFirstComment().c_str()));
        }
        if (m_v.AtLeast(3, 0)) {
            ReadCarSetup(ds->m_carSetup);
        } else {
            ReadOldCarSetup(ds->m_carSetup);
            if (engineType != 0) SetEngineType(ds->m_carSetup, engineType);
        }
        ds->m_nOptions = m_ar.Word();
        if (m_v.AtLeast(3, 0)) {
            ReadSeriesSet(*ds);
        } else {
            ReadOldSeriesSet(*ds);
        }
        return ds;
    }

    void ReadSeriesSet(CBriodashDataset& ds) {
        ReadSeries(ds.m_markers, nullptr, true);
        ReadColourAndOn(ds.m_markers);
        for (int i = 0; i < kRpmChannels; ++i) {
            CShaftList& s = ds.m_rpm[i];
            ReadSeries(s, "Reading RPM #%d Data", false, i + 1);
            ReadColourAndOn(s);
            s.m_crSlip = static_cast<int32_t>(m_ar.DWord() & 0x00FFFFFFu);
            s.m_nSlipOn = m_ar.Word();
        }
        const int analogs = m_v.AtLeast(3, 2) ? kAnalogChannels : kAnalogChannels - 1;
        for (int i = 0; i < analogs; ++i) {
            ReadSeries(ds.m_analog[i], "Reading Analog #%d Data", false, i + 1);
            ReadColourAndOn(ds.m_analog[i]);
        }
        for (int i = 0; i < kDigitalChannels; ++i) {
            ReadSeries(ds.m_digital[i], "Reading Digital #%d Data", false, i + 1);
            ReadColourAndOn(ds.m_digital[i]);
        }
    }

    // Before 3.0 the series follow in a fixed order; the shaft series find their RPM channel
    // through the type of the RPM setups.
    void ReadOldSeriesSet(CBriodashDataset& ds) {
        const CCarSetup& car = ds.m_carSetup;
        auto channelOf = [&car](auto isType, int fallback) {
            for (const CFreqSetup& f : car.m_rpm) {
                if (isType(f.m_nRpmType) && f.m_nChannel >= 1 && f.m_nChannel <= kRpmChannels) {
                    return f.m_nChannel;
                }
            }
            return fallback;
        };
        const int engine = channelOf([](int t) { return t >= 1 && t <= 9; }, 1);
        const int axle = channelOf([](int t) { return t == 10 || t == 12; }, 2);
        const int wheel = channelOf([](int t) { return t == 11; }, 3);
        const int clutch = channelOf([](int t) { return t == 13; }, 4);
        auto shaft = [&](int channel) {
            ReadSeries(ds.m_rpm[channel - 1], "Reading RPM #%d Data", false, channel);
            ReadColourAndOn(ds.m_rpm[channel - 1]);
        };
        shaft(engine);
        shaft(axle);
        ReadSeries(ds.m_markers, nullptr, true);
        ReadColourAndOn(ds.m_markers);
        for (int i = 0; i < kAnalogChannels - 1; ++i) {
            ReadSeries(ds.m_analog[i], "Reading Analog #%d Data", false, i + 1);
            ReadColourAndOn(ds.m_analog[i]);
        }
        shaft(wheel);
        if (m_v.AtLeast(2, 5, 'C')) shaft(clutch);
        if (m_v.AtLeast(2, 5, 'D')) {
            for (int i = 0; i < kDigitalChannels; ++i) {
                ReadSeries(ds.m_digital[i], "Reading Digital #%d Data", false, i + 1);
                ReadColourAndOn(ds.m_digital[i]);
            }
        }
    }

    void ReadColourAndOn(CSeriesBase& s) {
        s.m_crTrace = static_cast<int32_t>(m_ar.DWord() & 0x00FFFFFFu);
        s.m_nOn = m_ar.Word();
    }

    // One series block: the samples are parsed straight into the exactly sized vector.
    template <class TSample>
    void ReadSeries(CSeries<TSample>& s, const char* text, bool marker, int channel = 0) {
        constexpr bool kShaft = std::is_same_v<TSample, CShaft>;
        if (m_v.AtLeast(3, 0)) {
            s.m_nDataMode = m_ar.Long();
            if (kShaft && s.m_nDataMode == 1) s.m_nDataMode = 0;
        }
        const bool wordCount = marker && (m_v.Is(2, 4) || (m_v.Is(2, 5) && m_v.letter == 'A'));
        const std::size_t n = wordCount ? m_ar.Word() : m_ar.DWord();
        const bool gears = kShaft && m_v.AtLeast(2, 5);
        const std::size_t stride = gears ? 10 : 8;
        m_ar.Need(n, stride);
        if (n > 0 && text && m_progress) {
            m_progress->SetStatus(kStatusSeries, FormatText(text, channel));
        }
        s.m_samples.clear();
        s.m_samples.shrink_to_fit();
        // The file holds the samples (tested above); memory must hold them too.
        if (n > kCheckMemoryFrom && !MemoryAllows(static_cast<uint64_t>(n) * sizeof(TSample)))
            throw CArchiveException(ArchiveError::Io, ENOMEM);
        s.m_samples.reserve(n);  // exactly n: the vector never grows past what it holds
        AdviseLargePages(s.m_samples.data(), n * sizeof(TSample));
        Extremes ex;
        // Pieces of at most a percent of the series and of a bounded size, each taken from the
        // reader's window in one go.
        const std::size_t block = std::clamp<std::size_t>(n / 100, 1, kPieceBytes / stride);
        int shown = -1;
        for (std::size_t done = 0; done < n;) {
            const std::size_t end = std::min(n, done + block);
            const uint8_t* in = m_ar.Take((end - done) * stride);
            if (gears) {
                ParseSamples<TSample, true>(in, done, end, s.m_samples, ex);
            } else {
                ParseSamples<TSample, false>(in, done, end, s.m_samples, ex);
            }
            done = end;
            if (m_progress) {
                const int percent =
                    100 - static_cast<int>(static_cast<uint64_t>(n - done) * 100 / n);
                if (percent != shown) {
                    shown = percent;
                    m_progress->SetStatus(kStatusDataLoaded,
                                          FormatText("Data Loaded: %d%%", percent));
                    if (m_progress->Pump()) throw CArchiveException(ArchiveError::Aborted);
                }
            }
        }
        if (marker && !m_v.AtLeast(2, 7, 'F')) {
            s.RenumberOldMarkers();
            s.FinishLoad(marker);  // the extremes follow the new codes
            return;
        }
        s.m_pMin = ex.min;
        s.m_pMax = ex.max;
        if (!marker) EstimateRate(s);
    }

    // Smallest and largest value while parsing: a new smallest value is tested first, a new
    // largest only when it is not one; shaft series count only positive values.
    struct Extremes {
        int32_t smallest = kNotSet;
        int32_t largest = kMinInt32;
        Pos min = kNoPos;
        Pos max = kNoPos;
    };

    // Appends samples [from, to) to the reserved vector, each built once in place from its
    // bytes, then finds the extremes among them; returns the input after them.
    template <class TSample, bool kGears>
    static const uint8_t* ParseSamples(const uint8_t* in, std::size_t from, std::size_t to,
                                       std::vector<TSample>& out, Extremes& ex) {
        constexpr bool kShaft = std::is_same_v<TSample, CShaft>;
        constexpr std::size_t kStride = kGears ? 10 : 8;
        using Decoder = SampleDecoder<TSample, kGears>;
        const uint8_t* const end = in + (to - from) * kStride;
        out.insert(out.end(), Decoder{in}, Decoder{end});
        for (std::size_t i = from; in != end; ++i, in += kStride) {
            const int32_t v = static_cast<int32_t>(LoadDWord(in + 4));
            if (kShaft && v <= 0) continue;
            if (v < ex.smallest) {
                ex.smallest = v;
                ex.min = static_cast<Pos>(i);
            } else if (v > ex.largest) {
                ex.largest = v;
                ex.max = static_cast<Pos>(i);
            }
        }
        return in;
    }

    // Samples per second from the first three evenly spaced times, tried in triples.
    template <class TSample>
    static void EstimateRate(CSeries<TSample>& s) {
        const std::vector<TSample>& v = s.m_samples;
        for (std::size_t p = 0; p + 2 < v.size(); p += 3) {
            // Times come from the file: any two may lie the whole range apart.
            const int64_t d1 = int64_t{v[p + 1].m_lTime} - v[p].m_lTime;
            const int64_t d2 = int64_t{v[p + 2].m_lTime} - v[p + 1].m_lTime;
            if (d1 == d2 && d2 > 0) {
                s.m_fRate = 10000.0f / static_cast<float>(d2);
                return;
            }
        }
    }

    void ReadCarSetup(CCarSetup& car) {
        ReadGears(car);
        car.m_nRearEndMode = m_ar.Word();
        ReadRearEnd(car);
        ReadSetupList(car.m_rpm, kFreqId, [this] { return ReadFreqSetup(); });
        ReadSetupList(car.m_analog, kAnalogId, [this] { return ReadAnalogSetup(); });
        ReadSetupList(car.m_digital, kDigitalId, [this] { return ReadDigitalSetup(); });
    }

    void ReadGears(CCarSetup& car) {
        car.m_nGears = std::min<int32_t>(m_ar.Word(), 6);
        for (float& r : car.m_fGearRatio) r = m_ar.Float();
    }

    void ReadRearEnd(CCarSetup& car) {
        car.m_nDriveTeeth = m_ar.Word();
        car.m_nAxleTeeth = m_ar.Word();
        car.m_fRearEndRatio = m_ar.Float();
        if (car.m_nRearEndMode == 0 && car.m_nDriveTeeth > 0) {
            car.m_fRearEndRatio =
                static_cast<float>(car.m_nAxleTeeth) / static_cast<float>(car.m_nDriveTeeth);
        }
    }

    // The car setup of files before 3.0: a tagged object; before 2.8E its RPM setups are made
    // from an engine flag and a sensor word instead of being listed.
    void ReadOldCarSetup(CCarSetup& car) {
        CArchiveReader::ObjectTag tag = m_ar.ReadObjectTag();
        if (tag.kind == CArchiveReader::ObjectTag::Null) return;
        if (tag.kind != CArchiveReader::ObjectTag::New || tag.classId != kCarSetupId) {
            throw CArchiveException(ArchiveError::BadObject);
        }
        ReadGears(car);
        if (m_v.AtLeast(2, 8, 'E')) {
            car.m_nRearEndMode = m_ar.Word();
            ReadRearEnd(car);
            ReadSetupList(car.m_rpm, kFreqId, [this] { return ReadFreqSetup(); });
        } else {
            const uint16_t engineFlag = m_ar.Word();
            const uint16_t sensor = m_ar.Word();
            car.m_nRearEndMode = m_ar.Word();
            ReadRearEnd(car);
            if (engineFlag) AddEngineSetup(car, 1);
            CFreqSetup shaft;
            shaft.m_nChannel = 2;
            shaft.m_nRpmType = sensor == 1 ? 12 : 10;
            shaft.m_strDescription = sensor == 1 ? "Rear Wheel" : "Drive Shaft";
            shaft.m_nDisplayMode = sensor == 1 ? 2 : 3;
            car.m_rpm.push_back(shaft);
        }
        ReadSetupList(car.m_analog, kAnalogId, [this] { return ReadAnalogSetup(); });
        if (m_v.AtLeast(2, 6)) {
            ReadSetupList(car.m_digital, kDigitalId, [this] { return ReadDigitalSetup(); });
        }
    }

    // The engine words of a dataset before 3.0 type its engine channel.
    static void SetEngineType(CCarSetup& car, int type) {
        CFreqSetup* engine = car.FindRpmSetup(1);
        if (!engine || engine->m_nRpmType > 9) return AddEngineSetup(car, type);
        engine->m_nRpmType = type >= 1 && type <= 9 ? type : 1;
        engine->m_nPPR = kEnginePPR[engine->m_nRpmType];
    }

    static void AddEngineSetup(CCarSetup& car, int type) {
        if (car.FindRpmSetup(1)) return;
        CFreqSetup engine;
        engine.m_nChannel = 1;
        engine.m_nRpmType = type >= 1 && type <= 9 ? type : 1;
        engine.m_nPPR = kEnginePPR[engine.m_nRpmType];
        engine.m_strDescription = "Engine";
        car.m_rpm.insert(car.m_rpm.begin(), engine);
    }

    template <class Setup, class ReadOne>
    void ReadSetupList(std::vector<Setup>& list, int classId, ReadOne readOne) {
        const uint32_t n = m_ar.Count();
        m_ar.Need(n, 2);
        for (uint32_t i = 0; i < n; ++i) {
            CArchiveReader::ObjectTag tag = m_ar.ReadObjectTag();
            if (tag.kind == CArchiveReader::ObjectTag::Null) continue;
            // The program never writes a setup twice; a reference would share one setup.
            if (tag.kind != CArchiveReader::ObjectTag::New || tag.classId != classId) {
                throw CArchiveException(ArchiveError::BadObject);
            }
            list.push_back(readOne());
        }
    }

    CFreqSetup ReadFreqSetup() {
        CFreqSetup f;
        f.m_strDescription = m_ar.String();
        f.m_nTireSizeMode = m_ar.Word();
        f.m_nSmoothing = m_ar.Short();
        f.m_nChannel = m_ar.Long();
        f.m_nRpmType = m_ar.Long();
        f.m_nSlipPartner = m_ar.Long();
        f.m_nDisplayMode = m_ar.Long();
        f.m_nPPR = m_ar.Long();
        const float toUnits = m_options.units == Units::Metric ? kCmPerInch : 1.0f;
        f.m_fDiameter = m_ar.Float() * toUnits;
        f.m_fCircumference = m_ar.Float() * toUnits;
        return f;
    }

    CAnalogSetup ReadAnalogSetup() {
        CAnalogSetup a;
        a.m_nFamily = m_ar.Word();
        a.m_nInvert = m_ar.Word();
        a.m_strDescription = m_ar.String();
        a.m_nSmoothing = m_ar.Short();
        if (a.m_nSmoothing == 0) a.m_nSmoothing = 4;
        a.m_nScaleMode = m_ar.Short();
        a.m_nChannel = m_ar.Word();
        a.m_nType = m_ar.Word();
        a.m_nBits = m_ar.Word();
        a.m_nResolution = m_ar.Word();
        a.m_fMin = m_ar.Float();
        a.m_fMax = m_ar.Float();
        a.m_fOffset = m_ar.Float();
        if (m_v.AtLeast(3, 2)) {
            a.m_nAltInvert = m_ar.Word();
            a.m_fAltMin = m_ar.Float();
            a.m_fAltMax = m_ar.Float();
            a.m_fAltOffset = m_ar.Float();
        } else {
            a.m_nAltInvert = a.m_nInvert;
            a.m_fAltMin = a.m_fMin;
            a.m_fAltMax = a.m_fMax;
            a.m_fAltOffset = a.m_fOffset;
        }
        return a;
    }

    CDigitalSetup ReadDigitalSetup() {
        CDigitalSetup d;
        d.m_nInvert = m_ar.Word();
        d.m_strDescription = m_ar.String();
        d.m_nBand = m_ar.Short();
        d.m_nChannel = m_ar.Word();
        d.m_nType = m_ar.Word();
        return d;
    }

    CArchiveReader m_ar;
    const std::string& m_path;
    const DataFileReadOptions& m_options;
    IProgress* m_progress;
    Version m_v;
};

const char* ArchiveErrorText(ArchiveError cause) {
    switch (cause) {
        case ArchiveError::PrematureEnd:
            return "Premature End-of-File occurred while accessing data file.";
        case ArchiveError::BadObject:
            return "Bad Object Read while accessing data file.";
        case ArchiveError::BadSchema:
            return "Bad Schema Read while accessing data file.";
        default:
            return nullptr;
    }
}

// The bytes of an open file, read where the reader asks for them.
class CFileSource : public IByteSource {
  public:
    explicit CFileSource(int fd) : m_fd(fd) {}
    std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t n) override {
        for (;;) {
            const ssize_t r = ::pread(m_fd, into, n, static_cast<off_t>(offset));
            if (r >= 0) return static_cast<std::size_t>(r);
            if (errno != EINTR) throw CArchiveException(ArchiveError::Io, errno);
        }
    }

  private:
    int m_fd;
};

// Reads the datasets from `archive`, reports every failure and runs the after-read steps.
bool ReadContents(CArchiveReader archive, const std::string& path, IHostServices& host,
                  const DataFileReadOptions& options, DataFileContents& out) {
    std::unique_ptr<IProgress> progress =
        host.OpenProgress(FormatText("Loading Data-Set %s", path.c_str()));
    DataFileContents contents;
    int error = 0;
    try {
        CDataFileReader reader(std::move(archive), path, options, progress.get());
        reader.Read(contents);
    } catch (const NotDataFile&) {
        host.Message(FormatText("This file is not a %s data file", "Vexa-Log"), Icon::Error);
        return false;
    } catch (const CArchiveException& e) {
        if (e.Cause() == ArchiveError::Aborted) return false;
        if (const char* text = ArchiveErrorText(e.Cause())) {
            host.Message(text, Icon::Error);
            return false;
        }
        error = e.Code();
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error != 0) {
        contents = DataFileContents{};
        host.Message(
            FormatText("Could NOT read file '%s'.\nException Error #:%d", path.c_str(), error),
            Icon::Error);
        return false;
    }
    progress.reset();
    for (auto& ds : contents.datasets) {
        ds->ApplySettingsToSeries();
        if (options.afterRead) AfterRead(*ds, host);
    }
    out = std::move(contents);
    return true;
}

}  // namespace

bool ReadDataFileFromMemory(const uint8_t* data, std::size_t size, const std::string& path,
                            IHostServices& host, const DataFileReadOptions& options,
                            DataFileContents& out) {
    return ReadContents(CArchiveReader(data, size), path, host, options, out);
}

bool ReadDataFile(const std::string& path, IHostServices& host, const DataFileReadOptions& options,
                  DataFileContents& out) {
    if (path.empty()) {
        host.Message(OpenErrorText(path, EINVAL), Icon::Error);
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = fd < 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : errno;
        if (fd >= 0) ::close(fd);
        host.Message(OpenErrorText(path, error), Icon::Error);
        return false;
    }
    // The file is read a window at a time as parsing goes on: the header is checked before
    // anything else is read, and memory holds the samples plus one window, not the file.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    DataFileReadOptions opts = options;
    if (!opts.modificationTime) opts.modificationTime = st.st_mtime;
    CFileSource source(fd);
    const bool ok = ReadContents(
        CArchiveReader(source, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)),
                       kFileWindow),
        path, host, opts, out);
    ::close(fd);
    return ok;
}

}  // namespace orvex
