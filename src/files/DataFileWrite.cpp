// Writing the binary data file: the archive layout of version 3.3e and the safe save through a
// temporary file.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include "files/Archive.h"
#include "files/DataFile.h"
#include "files/DataFileFormat.h"
#include "files/DataFileText.h"
#include "host/AtomicWrite.h"
#include "host/HostServices.h"

namespace orvex {

using namespace datafile;

std::string DataFileBaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::string DataFileDatasetName(const std::string& name, const std::string& path) {
    const std::string base = DataFileBaseName(path);
    if (name.empty() || (name == "Data" && base.rfind("Data", 0) != 0)) return base;
    return name;
}

namespace {

class CDataFileWriter {
  public:
    CDataFileWriter(IByteSink& sink, const std::string& path, IHostServices& host, Units units)
        : m_ar(sink), m_path(path), m_host(host), m_units(units) {}

    void Write(const DataFileContents& c) {
        m_progress = m_host.OpenProgress(FormatText("Saving Data-Set %s", m_path.c_str()));
        m_ar.Word(kMagic);
        m_ar.String(kHeader);
        m_ar.Word(3);
        m_ar.Word(3);
        m_ar.Word('e');
        m_ar.Word(c.openTrackMap);
        m_ar.Word(c.calcBanking);
        m_ar.Word(c.groundSpeedMap);
        uint32_t count = 0;
        for (const auto& ds : c.datasets) count += ds && !ds->m_bDeleted ? 1 : 0;
        m_ar.Count(count);
        for (const auto& ds : c.datasets) {
            if (ds && !ds->m_bDeleted) WriteDataset(*ds);
        }
        m_ar.Flush();
    }

  private:
    bool Pump() { return m_progress ? m_progress->Pump() : m_host.Pump(); }
    void Status(int line, const std::string& text) {
        if (m_progress) m_progress->SetStatus(line, text);
    }

    void WriteDataset(const CBriodashDataset& ds) {
        m_ar.NewObject(kDatasetClass, kSchema);
        m_ar.Long(ds.m_nLap);
        if (ds.m_nLap != 0) return;  // a lap dataset is cut again from its session when needed
        const std::string name = DataFileDatasetName(ds.m_strName, m_path);
        Status(kStatusDataSet, FormatText("%s - %s", name.c_str(), ds.GetFirstComment().c_str()));
        m_ar.Word(static_cast<uint16_t>(ds.m_nFramed));
        m_ar.Word(static_cast<uint16_t>(ds.m_nLoggerFamily));
        m_ar.Count(static_cast<uint32_t>(ds.m_lstComments.size()));
        for (const std::string& line : ds.m_lstComments) m_ar.String(line);
        m_ar.Float(ds.m_fClock);
        m_ar.Word(static_cast<uint16_t>(ds.m_nBeaconsPerLap));
        m_ar.Word(static_cast<uint16_t>(ds.m_nDistanceSource));
        m_ar.Word(static_cast<uint16_t>(ds.m_nTimeRef));
        m_ar.Long(ds.m_lZeroTime);
        m_ar.String(name);
        WriteCarSetup(ds.m_carSetup);
        m_ar.Word(ds.m_nOptions);

        WriteSeries(ds.m_markers, "Writing Marker Data");
        m_ar.DWord(static_cast<uint32_t>(ds.m_markers.m_crTrace));
        m_ar.Word(static_cast<uint16_t>(ds.m_markers.m_nOn));
        for (int i = 0; i < kRpmChannels; ++i) {
            const CShaftList& s = ds.m_rpm[i];
            WriteSeries(s, FormatText("Writing RPM #%d Data", i + 1));
            m_ar.DWord(static_cast<uint32_t>(s.m_crTrace));
            m_ar.Word(static_cast<uint16_t>(s.m_nOn));
            m_ar.DWord(static_cast<uint32_t>(s.m_crSlip));
            m_ar.Word(static_cast<uint16_t>(s.m_nSlipOn));
        }
        for (int i = 0; i < kAnalogChannels; ++i) {
            WriteSeries(ds.m_analog[i], FormatText("Writing Analog #%d Data", i + 1));
            m_ar.DWord(static_cast<uint32_t>(ds.m_analog[i].m_crTrace));
            m_ar.Word(static_cast<uint16_t>(ds.m_analog[i].m_nOn));
        }
        for (int i = 0; i < kDigitalChannels; ++i) {
            WriteSeries(ds.m_digital[i], FormatText("Writing Digital #%d Data", i + 1));
            m_ar.DWord(static_cast<uint32_t>(ds.m_digital[i].m_crTrace));
            m_ar.Word(static_cast<uint16_t>(ds.m_digital[i].m_nOn));
        }
    }

    // Mode, count and the samples of the series' current view (its sub-range when on).
    template <class TSample>
    void WriteSeries(const CSeries<TSample>& s, const std::string& text) {
        constexpr bool kShaft = std::is_same_v<TSample, CShaft>;
        constexpr std::size_t kBytes = kShaft ? 10 : 8;
        const Pos first = s.First();
        const Pos last = s.Last();
        const std::size_t n =
            first == kNoPos || last < first ? 0 : static_cast<std::size_t>(last - first + 1);
        m_ar.Long(s.m_nDataMode);
        m_ar.DWord(static_cast<uint32_t>(n));
        if (n == 0) return;
        Status(kStatusSeries, text);
        const TSample* samples = s.m_samples.data() + first;
        const std::size_t block = std::max<std::size_t>(1, n / 100);
        for (std::size_t done = 0; done < n;) {
            const std::size_t end = std::min(n, done + block);
            for (std::size_t i = done; i < end; ++i) {
                uint8_t* p = m_ar.Space(kBytes);
                StoreDWord(p, static_cast<uint32_t>(samples[i].m_lTime));
                StoreDWord(p + 4, static_cast<uint32_t>(samples[i].m_lRaw));
                if constexpr (kShaft) StoreWord(p + 8, static_cast<uint16_t>(samples[i].m_nGear));
            }
            done = end;
            if (Pump()) throw CArchiveException(ArchiveError::Aborted);
        }
    }

    void WriteCarSetup(const CCarSetup& car) {
        m_ar.Word(static_cast<uint16_t>(car.m_nGears));
        for (float r : car.m_fGearRatio) m_ar.Float(r);
        m_ar.Word(static_cast<uint16_t>(car.m_nRearEndMode));
        m_ar.Word(static_cast<uint16_t>(car.m_nDriveTeeth));
        m_ar.Word(static_cast<uint16_t>(car.m_nAxleTeeth));
        m_ar.Float(car.m_fRearEndRatio);
        m_ar.Count(static_cast<uint32_t>(car.m_rpm.size()));
        for (const CFreqSetup& f : car.m_rpm) {
            m_ar.NewObject(kFreqClass, kSchema);
            m_ar.String(f.m_strDescription);
            m_ar.Word(static_cast<uint16_t>(f.m_nTireSizeMode));
            m_ar.Word(static_cast<uint16_t>(f.m_nSmoothing));
            m_ar.Long(f.m_nChannel);
            m_ar.Long(f.m_nRpmType);
            m_ar.Long(f.m_nSlipPartner);
            m_ar.Long(f.m_nDisplayMode);
            m_ar.Long(f.m_nPPR);
            m_ar.Float(m_units == Units::Metric ? f.m_fDiameter / kCmPerInch : f.m_fDiameter);
            m_ar.Float(m_units == Units::Metric ? f.m_fCircumference / kCmPerInch
                                                : f.m_fCircumference);
        }
        m_ar.Count(static_cast<uint32_t>(car.m_analog.size()));
        for (const CAnalogSetup& a : car.m_analog) {
            m_ar.NewObject(kAnalogClass, kSchema);
            m_ar.Word(static_cast<uint16_t>(a.m_nFamily));
            m_ar.Word(static_cast<uint16_t>(a.m_nInvert));
            m_ar.String(a.m_strDescription);
            m_ar.Word(static_cast<uint16_t>(a.m_nSmoothing));
            m_ar.Word(static_cast<uint16_t>(a.m_nScaleMode));
            m_ar.Word(static_cast<uint16_t>(a.m_nChannel));
            m_ar.Word(static_cast<uint16_t>(a.m_nType));
            m_ar.Word(static_cast<uint16_t>(a.m_nBits));
            m_ar.Word(static_cast<uint16_t>(a.m_nResolution));
            m_ar.Float(a.m_fMin);
            m_ar.Float(a.m_fMax);
            m_ar.Float(a.m_fOffset);
            m_ar.Word(static_cast<uint16_t>(a.m_nAltInvert));
            m_ar.Float(a.m_fAltMin);
            m_ar.Float(a.m_fAltMax);
            m_ar.Float(a.m_fAltOffset);
        }
        m_ar.Count(static_cast<uint32_t>(car.m_digital.size()));
        for (const CDigitalSetup& d : car.m_digital) {
            m_ar.NewObject(kDigitalClass, kSchema);
            m_ar.Word(static_cast<uint16_t>(d.m_nInvert));
            m_ar.String(d.m_strDescription);
            m_ar.Word(static_cast<uint16_t>(d.m_nBand));
            m_ar.Word(static_cast<uint16_t>(d.m_nChannel));
            m_ar.Word(static_cast<uint16_t>(d.m_nType));
        }
    }

    CArchiveWriter m_ar;
    const std::string& m_path;
    IHostServices& m_host;
    Units m_units;
    std::unique_ptr<IProgress> m_progress;
};

// Writes straight to an open file descriptor.
class CFileSink : public IByteSink {
  public:
    explicit CFileSink(int fd) : m_fd(fd) {}
    void Write(const uint8_t* data, std::size_t n) override {
        while (n > 0) {
            ssize_t w = ::write(m_fd, data, n);
            if (w < 0) {
                if (errno == EINTR) continue;
                throw CArchiveException(ArchiveError::Io, errno);
            }
            data += w;
            n -= static_cast<std::size_t>(w);
        }
    }

  private:
    int m_fd;
};

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool WriteDataFileToBuffer(const std::string& path, const DataFileContents& contents,
                           IHostServices& host, Units units, std::vector<uint8_t>& out) {
    CVectorSink sink;
    try {
        CDataFileWriter writer(sink, path, host, units);
        writer.Write(contents);
    } catch (const CArchiveException&) {
        return false;
    }
    out = std::move(sink.bytes);
    return true;
}

bool WriteDataFile(const std::string& path, const DataFileContents& contents, IHostServices& host,
                   Units units) {
    std::string target = path;
    const std::string fileName = target.substr(target.find_last_of('/') + 1);
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        target += ".tbc";
    } else if (::strcasecmp(fileName.c_str() + dot, ".tbc") != 0) {
        host.Message("Only Files with '.TBC' extension allowed for saving.", Icon::Error);
        return false;
    }

    // The old file is replaced by the rename below and never deleted beforehand, but a file
    // the user may not change is refused before anything is written.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        host.Message(FormatText("Could NOT overwrite requested file '%s'.\nException Error #%d",
                                target.c_str(), errno),
                     Icon::Error);
        return false;
    }
    // Each save writes a temporary file of its own beside the file the name leads to, so
    // saves at the same time never meet.
    CFileReplacement replacement(target, "save.tmp.");
    if (const AtomicWriteResult created = replacement.Create(); !created) {
        const std::string dir = DirectoryOf(replacement.TargetPath());
        host.Message(OpenErrorText(dir == "/" ? "/save.tmp" : dir + "/save.tmp", created.error),
                     Icon::Error);
        return false;
    }
    const std::string tmp = replacement.TemporaryPath();
    int error = 0;
    try {
        CFileSink sink(replacement.Descriptor());
        CDataFileWriter writer(sink, target, host, units);
        writer.Write(contents);
    } catch (const CArchiveException& e) {
        // An abort has been seen by the user; the temporary file goes with `replacement`.
        if (e.Cause() == ArchiveError::Aborted) return false;
        error = e.Code();
    }
    if (error == 0) {
        const AtomicWriteResult committed = replacement.Commit();
        if (!committed && committed.step == AtomicWriteStep::Rename) {
            host.Message(FormatText("Could NOT rename temporary file to requested save file "
                                    "name.\n'%s' -> '%s'.\nException Error #%d",
                                    tmp.c_str(), target.c_str(), committed.error),
                         Icon::Error);
            return false;
        }
        error = committed.error;
    }
    if (error == 0) return true;
    host.Message(
        FormatText("Could NOT write file '%s'.\nException Error #:%d", target.c_str(), error),
        Icon::Error);
    return false;
}

}  // namespace orvex
