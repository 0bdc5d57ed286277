// Reads back the texts of the first page of a PDF file that this program wrote through Qt: each
// text with its characters (through the font's ToUnicode map), where its first glyph sits and
// its font size, both in the page's own points (origin at the bottom left, y upwards).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QPointF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <vector>

namespace orvex::test {

struct PdfText {
    QString text;       // Qt maps the space glyph to a tab: compare texts simplified
    QPointF origin;     // baseline start of the first glyph, in points
    QPointF end;        // baseline start of the last glyph
    double size = 0.0;  // font height in points
};

struct PdfPage {
    QSizeF size;  // the media box, in points
    std::vector<PdfText> texts;
    QString error;  // empty when the page was read
};

namespace pdf_detail {

inline QByteArray ObjectBody(const QByteArray& file, int number) {
    const QByteArray head = "\n" + QByteArray::number(number) + " 0 obj";
    const qsizetype at = file.indexOf(head);
    if (at < 0) return {};
    const qsizetype from = at + head.size();
    const qsizetype to = file.indexOf("endobj", from);
    return to < 0 ? QByteArray() : file.mid(from, to - from);
}

inline int Reference(const QByteArray& body, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(key));
    const auto m = re.match(QString::fromLatin1(body));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The bytes of object `number`'s stream, inflated when it is compressed.
inline QByteArray StreamOf(const QByteArray& file, int number) {
    const QByteArray body = ObjectBody(file, number);
    const qsizetype start = body.indexOf("stream\n");
    if (start < 0) return {};
    const QString dict = QString::fromLatin1(body.left(start));
    qsizetype length = -1;
    if (const auto m =
            QRegularExpression(QStringLiteral("/Length\\s+(\\d+)\\s+0\\s+R")).match(dict);
        m.hasMatch())
        length = ObjectBody(file, m.captured(1).toInt()).trimmed().toLongLong();
    else if (const auto d = QRegularExpression(QStringLiteral("/Length\\s+(\\d+)")).match(dict);
             d.hasMatch())
        length = d.captured(1).toLongLong();
    if (length < 0) return {};
    QByteArray data = body.mid(start + 7, length);
    if (!dict.contains(QStringLiteral("/FlateDecode"))) return data;
    // qUncompress wants the expected size in front; it grows its buffer as needed.
    QByteArray sized(4, '\0');
    sized[0] = 0x01;  // 16 MiB to start with
    return qUncompress(sized + data);
}

// Glyph code to characters from a ToUnicode map's "bfrange" and "bfchar" sections.
inline QHash<uint, QString> UnicodeMap(const QByteArray& cmap) {
    QHash<uint, QString> out;
    auto hexText = [](const QString& hex) {
        QString s;
        for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
            s += QChar(static_cast<char16_t>(hex.mid(i, 4).toUInt(nullptr, 16)));
        return s;
    };
    const QString text = QString::fromLatin1(cmap);
    const QRegularExpression ranges(QStringLiteral("beginbfrange(.*?)endbfrange"),
                                    QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression entry(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(<[0-9A-Fa-f]+>|\\[[^\\]]*\\])"));
    const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (auto r = ranges.globalMatch(text); r.hasNext();) {
        const QString block = r.next().captured(1);
        for (auto e = entry.globalMatch(block); e.hasNext();) {
            const auto m = e.next();
            const uint first = m.captured(1).toUInt(nullptr, 16);
            const uint last = m.captured(2).toUInt(nullptr, 16);
            const QString target = m.captured(3);
            if (target.startsWith('[')) {
                uint code = first;
                for (auto h = hex.globalMatch(target); h.hasNext() && code <= last; ++code)
                    out[code] = hexText(h.next().captured(1));
            } else {
                const uint base = target.mid(1, target.size() - 2).toUInt(nullptr, 16);
                for (uint code = first; code <= last; ++code)
                    out[code] = QString(QChar(static_cast<char16_t>(base + code - first)));
            }
        }
    }
    const QRegularExpression chars(QStringLiteral("beginbfchar(.*?)endbfchar"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression pair(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    for (auto c = chars.globalMatch(text); c.hasNext();) {
        const QString block = c.next().captured(1);
        for (auto p = pair.globalMatch(block); p.hasNext();) {
            const auto m = p.next();
            out[m.captured(1).toUInt(nullptr, 16)] = hexText(m.captured(2));
        }
    }
    return out;
}

}  // namespace pdf_detail

// Interprets the page's content stream: the graphics state stack (q, Q, cm) and the text
// operators Qt writes (BT, Tf, Tm, Td, Tj, ET). One BT ... ET block is one painted text.
inline PdfPage ReadPdfPage(const QString& path) {
    using namespace pdf_detail;
    PdfPage page;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        page.error = QStringLiteral("cannot open ") + path;
        return page;
    }
    const QByteArray file = f.readAll();
    int pageObject = -1;
    for (int n = 1; n < 100000 && pageObject < 0; ++n) {
        const QByteArray body = ObjectBody(file, n);
        if (body.isEmpty() && n > 64) break;
        if (QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))
                .match(QString::fromLatin1(body))
                .hasMatch())
            pageObject = n;
    }
    if (pageObject < 0) {
        page.error = QStringLiteral("no page");
        return page;
    }
    const QString pageDict = QString::fromLatin1(ObjectBody(file, pageObject));
    if (const auto m =
            QRegularExpression(
                QStringLiteral(
                    "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)"))
                .match(pageDict);
        m.hasMatch())
        page.size = QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                           m.captured(4).toDouble() - m.captured(2).toDouble());
    // The fonts of the page's resources and their ToUnicode maps.
    const int resources = Reference(pageDict.toLatin1(), "Resources");
    const QString resDict = QString::fromLatin1(ObjectBody(file, resources));
    QHash<QString, QHash<uint, QString>> fonts;
    const QRegularExpression fontRef(QStringLiteral("/(F\\d+)\\s+(\\d+)\\s+0\\s+R"));
    for (auto it = fontRef.globalMatch(resDict); it.hasNext();) {
        const auto m = it.next();
        const int unicode = Reference(ObjectBody(file, m.captured(2).toInt()), "ToUnicode");
        fonts[m.captured(1)] = UnicodeMap(StreamOf(file, unicode));
    }
    const QByteArray content = StreamOf(file, Reference(pageDict.toLatin1(), "Contents"));
    if (content.isEmpty()) {
        page.error = QStringLiteral("no page content");
        return page;
    }

    std::vector<QTransform> stack;
    QTransform ctm, tm, lineStart;
    QString font, lastName;
    double fontSize = 0.0;
    std::vector<double> numbers;
    PdfText current;
    bool inText = false, firstGlyph = true;
    qsizetype i = 0;
    const qsizetype n = content.size();
    auto isSpace = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (i < n) {
        const char c = content[i];
        if (isSpace(c)) {
            ++i;
            continue;
        }
        if (c == '<') {  // a glyph string for Tj
            const qsizetype close = content.indexOf('>', i);
            const QByteArray hex = content.mid(i + 1, close - i - 1);
            i = close + 1;
            while (i < n && isSpace(content[i])) ++i;
            if (content.mid(i, 2) != "Tj") continue;
            i += 2;
            const QTransform at = tm * ctm;
            const QPointF origin = at.map(QPointF(0, 0));
            if (firstGlyph) {
                current.origin = origin;
                // The height of the font: the length of the text space's unit upwards.
                current.size =
                    fontSize * QLineF(at.map(QPointF(0, 0)), at.map(QPointF(0, 1))).length();
                firstGlyph = false;
            }
            current.end = origin;
            for (qsizetype k = 0; k + 4 <= hex.size(); k += 4)
                current.text +=
                    fonts.value(font).value(hex.mid(k, 4).toUInt(nullptr, 16), QStringLiteral("?"));
            numbers.clear();
            continue;
        }
        if (c == '/') {
            qsizetype e = i + 1;
            while (e < n && !isSpace(content[e]) && content[e] != '/' && content[e] != '[') ++e;
            lastName = QString::fromLatin1(content.mid(i + 1, e - i - 1));
            i = e;
            continue;
        }
        if (c == '[' || c == ']' || c == '(') {  // dash arrays and the like: not texts
            if (c == '(') i = content.indexOf(')', i);
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < n && !isSpace(content[e]) && content[e] != '<' && content[e] != '/' &&
               content[e] != '[')
            ++e;
        const QByteArray word = content.mid(i, e - i);
        i = e;
        bool isNumber = false;
        const double v = word.toDouble(&isNumber);
        if (isNumber) {
            numbers.push_back(v);
            continue;
        }
        auto arg = [&](std::size_t k) {
            return numbers.size() > k ? numbers[numbers.size() - 1 - k] : 0.0;
        };
        if (word == "q") {
            stack.push_back(ctm);
        } else if (word == "Q") {
            if (!stack.empty()) {
                ctm = stack.back();
                stack.pop_back();
            }
        } else if (word == "cm") {
            ctm = QTransform(arg(5), arg(4), arg(3), arg(2), arg(1), arg(0)) * ctm;
        } else if (word == "BT") {
            inText = true;
            firstGlyph = true;
            tm = lineStart = QTransform();
            current = PdfText{};
        } else if (word == "ET") {
            if (inText && !current.text.isEmpty()) page.texts.push_back(current);
            inText = false;
        } else if (word == "Tf") {
            font = lastName;
            fontSize = arg(0);
        } else if (word == "Tm") {
            tm = lineStart = QTransform(arg(5), arg(4), arg(3), arg(2), arg(1), arg(0));
        } else if (word == "Td") {
            lineStart = QTransform::fromTranslate(arg(1), arg(0)) * lineStart;
            tm = lineStart;
        }
        numbers.clear();
    }
    return page;
}

}  // namespace orvex::test
