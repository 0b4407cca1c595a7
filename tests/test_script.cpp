// Data test of the story script: the six scripts and the three statement
// lists against the story's design (kinds by scene, branch tables, line
// counts, name positions, trailing blanks, route lengths), written here in a
// compact form of their own rather than copied from the data arrays; and the
// pure rules that select a script and a list, find the next scene and put
// the name in.
#include "story/script.h"
#include "support/testsupport.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

const char *lineOf(const Scene &scene, int line)
{
    switch (line) {
    case 1:
        return scene.Line1;
    case 2:
        return scene.Line2;
    default:
        return scene.Line3;
    }
}

struct NamedScript {
    const char *name;
    Script script;
};

const NamedScript AllScripts[] = {
    {"ShortScript", ShortScript},           {"ShortScriptNeither", ShortScriptNeither},
    {"SfcScriptBoy", SfcScriptBoy},         {"SfcScriptGirl", SfcScriptGirl},
    {"SfcScriptNeither", SfcScriptNeither}, {"SpecialScript", SpecialScript},
};

struct NamedList {
    const char *name;
    std::span<const char *const> list;
    int statements;
};

const NamedList AllLists[] = {
    {"StatementsBoy", StatementsBoy, 58},
    {"StatementsGirl", StatementsGirl, 57},
    {"StatementsNeither", StatementsNeither, 57},
};

// ---------------------------------------------------------------------------
// Kinds by scene, written as runs "first-last:control" from the design's
// lists and branch tables. A run without "-last" is one scene.

std::vector<std::string> expand(const std::vector<std::string> &runs)
{
    std::vector<std::string> controls;
    for (const std::string &run : runs) {
        const auto colon = run.find(':');
        const std::string range = run.substr(0, colon);
        const std::string control = run.substr(colon + 1);
        const auto dash = range.find('-');
        const int first = std::stoi(range.substr(0, dash));
        const int last = dash == std::string::npos ? first : std::stoi(range.substr(dash + 1));
        if (first != int(controls.size()))
            qFatal("runs out of order at %s", run.c_str());
        for (int i = first; i <= last; ++i)
            controls.push_back(control);
    }
    return controls;
}

const std::vector<std::string> ShortKinds = expand({"0:0", "1-6:1", "7:0", "8:1", "9:0"});

const std::vector<std::string> BoyKinds = expand({
    "0:6",        "1:0",     "2-8:1",      "9:2,28,10", "10:3,11,20", "11:1",
    "12:3,13,20", "13:1",    "14:3,15,20", "15:1",      "16:3,17,18", "17:5,28",
    "18:1",       "19:5,21", "20:5,28",    "21:0",      "22-26:1",    "27:5,32",
    "28:0",       "29-40:1", "41:0",       "42-45:1",   "46:0",
});

const std::vector<std::string> GirlKinds = expand({
    "0:6",        "1:0",     "2-8:1",      "9:2,28,10", "10:3,11,20", "11:1",
    "12:3,13,20", "13:1",    "14:3,15,20", "15:1",      "16:3,17,18", "17:5,28",
    "18:1",       "19:5,21", "20:5,28",    "21:0",      "22-26:1",    "27:5,33",
    "28:0",       "29-41:1", "42:0",       "43-46:1",   "47:0",
});

const std::vector<std::string> SpecialKinds = expand({
    "0:6",     "1-6:0",      "7:1",     "8:0",     "9:2,10,13", "10-11:1", "12:5,38",
    "13-14:0", "15:2,16,21", "16-19:1", "20:5,38", "21:1",      "22-25:0", "26:2,27,31",
    "27-29:6", "30:5,38",    "31:6",    "32-35:0", "36:1",      "37:5,12", "38:0",
});

// ---------------------------------------------------------------------------
// Line counts and name positions: one token per scene, one character per
// display line: '-' empty, 'x' text, 'n' text holding the name once.

std::vector<std::string> tokens(const std::string &s)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ' ') {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

const std::vector<std::string> ShortShape = tokens("n-- xn- nx- xn- xx- xx- x-- x-- n-- xxx");
// As ShortScript except scenes 5 (1 line), 6 (1 line) and 7 (2 lines).
const std::vector<std::string> ShortNeitherShape =
    tokens("n-- xn- nx- xn- xx- x-- x-- xx- n-- xxx");

const std::vector<std::string> BoyShape = tokens(
    /*  0 */ "xx- nx- xn- nx- xnx xxx x-- xx- xxx x-- "
             /* 10 */ "nxx xxn x-- xxx xxx nxx nx- xxx x-- xx- "
             /* 20 */ "xxx nxx xxx xxx xxx xxx xx- xx- nx- xxn "
             /* 30 */ "x-- xxx xxx xxx x-- xxx xx- xx- nx- xxx "
             /* 40 */ "xxx nx- n-- xn- n-- n-- xxx");

// SfcScriptGirl: scenes 0 to 28 as the boy's, 29 (3 lines, no name), the new
// 30 (3 lines, name in 2), then the boy's 30 to 46 one index higher.
std::vector<std::string> girlShape()
{
    std::vector<std::string> shape(BoyShape.begin(), BoyShape.begin() + 29);
    shape.push_back("xxx");
    shape.push_back("xnx");
    shape.insert(shape.end(), BoyShape.begin() + 30, BoyShape.end());
    return shape;
}

const std::vector<std::string> SpecialShape = tokens(
    /*  0 */ "xxx nx- x-- xn- xx- nxx xx- n-- x-x xxx "
             /* 10 */ "x-- xx- n-- x-- xx- x-- xxx n-- xxx n-- "
             /* 20 */ "n-- n-- n-- x-- x-- xx- x-- x-- x-- n-- "
             /* 30 */ "n-- x-- x-- x-- x-- x-- xxx x-- xxx");

// ---------------------------------------------------------------------------

// Number of trailing half-width blanks.
int countTrailingBlanks(const char *line)
{
    const std::string s(line);
    int n = 0;
    for (auto it = s.rbegin(); it != s.rend() && *it == ' '; ++it)
        ++n;
    return n;
}

// The trailing blanks the design fixes for a non-empty line.
int expectedBlanks(const QString &script, const Scene &scene, int index, int line)
{
    if (IsInstant(scene)) {
        if (script == "SpecialScript" && (index == 27 || index == 28 || index == 29 || index == 31))
            return 3;
        return 0; // scene 0 of the four longer scripts
    }
    if (script.startsWith("ShortScript") && index == 1)
        return 2;
    if (script == "SpecialScript" && ((index == 8 && line == 3) || (index == 10 && line == 1)))
        return 0;
    return 3;
}

bool sameTexts(const Scene &a, const Scene &b)
{
    return std::string(a.Line1) == b.Line1 && std::string(a.Line2) == b.Line2 &&
           std::string(a.Line3) == b.Line3;
}

bool isKanji(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || c == U'々';
}

// Encodes in code page 932 through ICU; empty optional-like result marks a failure.
bool encodeCp932(const QString &s, QByteArray *bytes)
{
    QStringEncoder encoder("windows-932");
    if (!encoder.isValid())
        qFatal("no windows-932 encoder");
    *bytes = encoder.encode(s);
    if (encoder.hasError())
        return false;
    QStringDecoder decoder("windows-932");
    const QString back = decoder.decode(*bytes);
    return !decoder.hasError() && back == s;
}

// Only JIS X 0208 and printable ASCII: no half-width katakana, no NEC or IBM
// extension rows.
bool onlyJisX0208(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x20 && b <= 0x7E)
            continue;
        const bool lead =
            (b >= 0x81 && b <= 0x84) || (b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA);
        if (!lead || i + 1 >= bytes.size())
            return false;
        ++i;
    }
    return true;
}

// Width in half-width cells, taken as the code page 932 byte count, with the
// name placeholder standing for a four-character name (8 bytes).
qsizetype displayWidth(const QString &line)
{
    QByteArray bytes;
    QString s = line;
    s.replace("%s", "ＡＢＣＤ");
    encodeCp932(s, &bytes);
    return bytes.size();
}

// Lengths (scenes shown) of all routes through a script, following every
// combination of answers; `routes` receives the scene sequences.
void walk(Script script, int index, std::vector<int> &path, std::vector<std::vector<int>> &routes,
          int depth = 0)
{
    if (depth > 200 || index < 0 || index >= int(script.size())) {
        path.push_back(index);
        routes.push_back(path);
        path.pop_back();
        return;
    }
    const Scene &scene = script[index];
    if (IsEndMarker(scene)) {
        routes.push_back(path);
        return;
    }
    path.push_back(index);
    if (IsQuestion(scene)) {
        walk(script, NextScene(scene, index, 0), path, routes, depth + 1);
        walk(script, NextScene(scene, index, 1), path, routes, depth + 1);
    } else {
        walk(script, NextScene(scene, index, 0), path, routes, depth + 1);
    }
    path.pop_back();
}

std::vector<std::vector<int>> allRoutes(Script script)
{
    std::vector<int> path;
    std::vector<std::vector<int>> routes;
    walk(script, 0, path, routes);
    return routes;
}

std::vector<int> seq(std::initializer_list<std::pair<int, int>> ranges)
{
    std::vector<int> out;
    for (auto [first, last] : ranges)
        for (int i = first; i <= last; ++i)
            out.push_back(i);
    return out;
}

} // namespace

class TestScript : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes();
    void kindsAndTargets_data();
    void kindsAndTargets();
    void controlTextsThatOccur();
    void routes_data();
    void routes();
    void namedRoutes();
    void lineCountsAndNames_data();
    void lineCountsAndNames();
    void trailingBlanks_data();
    void trailingBlanks();
    void fixedTexts();
    void writingStyle_data();
    void writingStyle();
    void sharedScenes();
    void nameReplacementTerminates();
    void statements();
    void encodableInCodePage932();
    void selectScript();
    void selectStatements();
    void kindPredicates();
    void nextScene();
    void replaceName();
};

void TestScript::sizes()
{
    // Scenes and the index of the end marker.
    QCOMPARE(std::size(ShortScript), std::size_t(11));
    QCOMPARE(std::size(ShortScriptNeither), std::size_t(11));
    QCOMPARE(std::size(SfcScriptBoy), std::size_t(48));
    QCOMPARE(std::size(SfcScriptGirl), std::size_t(49));
    QCOMPARE(std::size(SfcScriptNeither), std::size_t(48));
    QCOMPARE(std::size(SpecialScript), std::size_t(40));
    for (const NamedScript &s : AllScripts) {
        const Scene &last = s.script.back();
        QVERIFY2(IsEndMarker(last), s.name);
        QVERIFY2(*last.Line1 == 0 && *last.Line2 == 0 && *last.Line3 == 0 && *last.Control == 0,
                 s.name);
        // Only the last entry is an end marker, and no pointer is null.
        for (std::size_t i = 0; i + 1 < s.script.size(); ++i) {
            const Scene &scene = s.script[i];
            QVERIFY(scene.Line1 && scene.Line2 && scene.Line3 && scene.Control);
            QVERIFY2(!IsEndMarker(scene), qPrintable(QString("%1[%2]").arg(s.name).arg(i)));
        }
    }
}

void TestScript::kindsAndTargets_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("controls");
    auto list = [](const std::vector<std::string> &v) {
        QStringList out;
        for (const std::string &s : v)
            out << QString::fromStdString(s);
        return out;
    };
    QTest::newRow("ShortScript") << 0 << list(ShortKinds);
    QTest::newRow("ShortScriptNeither") << 1 << list(ShortKinds);
    QTest::newRow("SfcScriptBoy") << 2 << list(BoyKinds);
    QTest::newRow("SfcScriptGirl") << 3 << list(GirlKinds);
    QTest::newRow("SfcScriptNeither") << 4 << list(BoyKinds);
    QTest::newRow("SpecialScript") << 5 << list(SpecialKinds);
}

void TestScript::kindsAndTargets()
{
    QFETCH(int, which);
    QFETCH(QStringList, controls);
    const Script script = AllScripts[which].script;
    QCOMPARE(qsizetype(script.size()), controls.size() + 1);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const Scene &scene = script[i];
        QVERIFY2(QString::fromLatin1(scene.Control) == controls[i],
                 qPrintable(QString("scene %1: %2, expected %3")
                                .arg(i)
                                .arg(QString::fromLatin1(scene.Control), controls[i])));
        // Every target is an index of the same script.
        const char kind = SceneKind(scene);
        if (kind == '2' || kind == '3' || kind == '4' || kind == '5') {
            for (int answer : {0, 1}) {
                const int next = NextScene(scene, int(i), answer);
                QVERIFY(next >= 10 && next < int(script.size()));
            }
        }
    }
}

void TestScript::controlTextsThatOccur()
{
    const std::set<std::string> expected = {
        "0",    "1",    "6",    "2,28,10", "3,11,20", "3,13,20", "3,15,20", "3,17,18", "5,28",
        "5,21", "5,32", "5,33", "2,10,13", "5,38",    "2,16,21", "2,27,31", "5,12",    "",
    };
    std::set<std::string> seen;
    for (const NamedScript &s : AllScripts)
        for (const Scene &scene : s.script)
            seen.insert(scene.Control);
    QVERIFY(seen == expected);
}

void TestScript::routes_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QList<int>>("lengths");
    QTest::newRow("ShortScript") << 0 << QList<int>{10};
    QTest::newRow("ShortScriptNeither") << 1 << QList<int>{10};
    QTest::newRow("SfcScriptBoy") << 2 << QList<int>{29, 31, 33, 35, 37, 41};
    QTest::newRow("SfcScriptGirl") << 3 << QList<int>{30, 32, 34, 36, 38, 41};
    QTest::newRow("SfcScriptNeither") << 4 << QList<int>{29, 31, 33, 35, 37, 41};
    QTest::newRow("SpecialScript") << 5 << QList<int>{14, 19, 24, 28};
}

void TestScript::routes()
{
    QFETCH(int, which);
    QFETCH(QList<int>, lengths);
    const Script script = AllScripts[which].script;
    const auto routes = allRoutes(script);
    std::set<int> seen;
    for (const auto &route : routes) {
        // A route that left the script or ran on is recorded with its bad index last.
        for (int index : route)
            QVERIFY2(index >= 0 && index < int(script.size()) - 1,
                     qPrintable(QString("bad index %1").arg(index)));
        QVERIFY(int(route.size()) <= 60);
        // The route ends where the last scene leads to the end marker.
        const int last = route.back();
        const Scene &scene = script[last];
        const int endAt = int(script.size()) - 1;
        QVERIFY(NextScene(scene, last, 0) == endAt || NextScene(scene, last, 1) == endAt);
        // No scene shown twice on one route (no cycle).
        std::set<int> unique(route.begin(), route.end());
        QCOMPARE(unique.size(), route.size());
        seen.insert(int(route.size()));
    }
    QCOMPARE(QList<int>(seen.begin(), seen.end()), lengths);
    // Routes: 30 to 41 for the girl, 29 to 41 for the boy and the third choice.
    QCOMPARE(qsizetype(routes.size()), lengths.size());
}

void TestScript::namedRoutes()
{
    auto has = [](Script script, const std::vector<int> &route) {
        const auto routes = allRoutes(script);
        return std::find(routes.begin(), routes.end(), route) != routes.end();
    };
    // Straight to the castle; refusing to the end (the king in the evening).
    QVERIFY(has(SfcScriptBoy, seq({{0, 9}, {28, 46}})));
    QVERIFY(has(SfcScriptBoy, seq({{0, 16}, {18, 19}, {21, 27}, {32, 46}})));
    QVERIFY(has(SfcScriptNeither, seq({{0, 10}, {20, 20}, {28, 46}})));
    QVERIFY(has(SfcScriptBoy, seq({{0, 17}, {28, 46}})));
    QVERIFY(has(SfcScriptGirl, seq({{0, 9}, {28, 47}})));
    QVERIFY(has(SfcScriptGirl, seq({{0, 16}, {18, 19}, {21, 27}, {33, 47}})));
    // The special course: theft, inn, the fight lost, flight to the border.
    QVERIFY(has(SpecialScript, seq({{0, 12}, {38, 38}})));
    QVERIFY(has(SpecialScript, seq({{0, 9}, {13, 20}, {38, 38}})));
    QVERIFY(has(SpecialScript, seq({{0, 9}, {13, 15}, {21, 30}, {38, 38}})));
    QVERIFY(has(SpecialScript, seq({{0, 9}, {13, 15}, {21, 26}, {31, 37}, {12, 12}, {38, 38}})));
    QVERIFY(has(ShortScript, seq({{0, 9}})));
}

void TestScript::lineCountsAndNames_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("shape");
    auto list = [](const std::vector<std::string> &v) {
        QStringList out;
        for (const std::string &s : v)
            out << QString::fromStdString(s);
        return out;
    };
    QTest::newRow("ShortScript") << 0 << list(ShortShape);
    QTest::newRow("ShortScriptNeither") << 1 << list(ShortNeitherShape);
    QTest::newRow("SfcScriptBoy") << 2 << list(BoyShape);
    QTest::newRow("SfcScriptGirl") << 3 << list(girlShape());
    QTest::newRow("SfcScriptNeither") << 4 << list(BoyShape);
    QTest::newRow("SpecialScript") << 5 << list(SpecialShape);
}

void TestScript::lineCountsAndNames()
{
    QFETCH(int, which);
    QFETCH(QStringList, shape);
    const Script script = AllScripts[which].script;
    QCOMPARE(qsizetype(script.size()), shape.size() + 1);
    for (qsizetype i = 0; i < shape.size(); ++i) {
        for (int line = 1; line <= 3; ++line) {
            const QString s = text(lineOf(script[i], line));
            const QChar want = shape[i][line - 1];
            const QString where = QString("scene %1 line %2: \"%3\"").arg(i).arg(line).arg(s);
            if (want == '-') {
                QVERIFY2(s.isEmpty(), qPrintable(where));
                continue;
            }
            QVERIFY2(!s.trimmed().isEmpty(), qPrintable(where));
            QVERIFY2(s.count("%s") == (want == 'n' ? 1 : 0), qPrintable(where));
        }
    }
}

void TestScript::trailingBlanks_data()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < 6; ++i)
        QTest::newRow(AllScripts[i].name) << i;
}

void TestScript::trailingBlanks()
{
    QFETCH(int, which);
    const NamedScript &s = AllScripts[which];
    for (std::size_t i = 0; i + 1 < s.script.size(); ++i) {
        for (int line = 1; line <= 3; ++line) {
            const char *l = lineOf(s.script[i], line);
            if (*l == 0)
                continue;
            const int want = expectedBlanks(s.name, s.script[i], int(i), line);
            QVERIFY2(countTrailingBlanks(l) == want,
                     qPrintable(QString("scene %1 line %2 has %3 blanks, expected %4")
                                    .arg(i)
                                    .arg(line)
                                    .arg(countTrailingBlanks(l))
                                    .arg(want)));
        }
    }
}

void TestScript::fixedTexts()
{
    const QString thanks = "ご協力ありがとうございました。";
    for (Script script : {Script(SfcScriptBoy), Script(SfcScriptGirl), Script(SfcScriptNeither),
                          Script(SpecialScript)})
        QCOMPARE(text(script[0].Line1), thanks);
    QCOMPARE(text(SpecialScript[0].Line2),
             QString("なお、あなたはこのアンケートの選び方により、特殊コースに"));
    QCOMPARE(text(SpecialScript[0].Line3), QString("進んでいただきます。"));
    for (const NamedList &l : AllLists)
        QCOMPARE(text(l.list[0]), QString("これから、あなたの性格を検査します。よろしいですか?"));
    QCOMPARE(text(QuestionnaireOpening),
             QString("これから、あなたの性格を検査します。よろしいですか?"));
    QCOMPARE(text(QuestionnairePlea), QString("そんなこと言わずに、受けてくださいよぉ。"));
    QCOMPARE(SpecialCourseYesCount, 29);
    // The closing narration: three full stops for the boy, an ellipsis for the girl.
    QVERIFY(text(SfcScriptBoy[46].Line3).endsWith("。。。   "));
    QVERIFY(text(SfcScriptNeither[46].Line3).endsWith("。。。   "));
    QVERIFY(text(SpecialScript[38].Line3).endsWith("。。。   "));
    QVERIFY(text(SfcScriptGirl[47].Line3).endsWith("…   "));
    QVERIFY(!text(SfcScriptGirl[47].Line3).endsWith("。…   "));
}

void TestScript::writingStyle_data()
{
    trailingBlanks_data();
}

void TestScript::writingStyle()
{
    QFETCH(int, which);
    const NamedScript &s = AllScripts[which];
    const bool kanaOnly = QString(s.name).startsWith("ShortScript");
    const QString kanaPunctuation = "　、。！？「」＊…・ー";
    const QStringList speakers = {"＊「", "王「", "%s「", "%s 「", "宿屋「"};
    int kanji = 0;
    for (std::size_t i = 0; i + 1 < s.script.size(); ++i) {
        const Scene &scene = s.script[i];
        const char kind = SceneKind(scene);
        const bool speech = kind == '1' || kind == '3' || kind == '5';
        for (int line = 1; line <= 3; ++line) {
            const QString l = text(lineOf(scene, line));
            if (l.isEmpty())
                continue;
            const QString where = QString("scene %1 line %2: \"%3\"").arg(i).arg(line).arg(l);
            // A speech starts with a speaker mark, its continuation lines
            // with full-width blanks; narration has no mark.
            if (speech && line == 1) {
                QVERIFY2(std::any_of(speakers.begin(), speakers.end(),
                                     [&](const QString &m) { return l.startsWith(m); }),
                         qPrintable(where));
            } else if (speech) {
                QVERIFY2(l.startsWith("　"), qPrintable(where));
            } else {
                QVERIFY2(!l.contains("「"), qPrintable(where));
            }
            QString rest = l;
            rest.remove("%s");
            for (char32_t c : rest.toUcs4()) {
                if (isKanji(c))
                    ++kanji;
                if (!kanaOnly)
                    continue;
                const bool kana = (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA);
                const bool digit = c >= 0xFF10 && c <= 0xFF19;
                const bool punct = c == ' ' || kanaPunctuation.contains(QChar(char16_t(c)));
                QVERIFY2(kana || digit || punct,
                         qPrintable(where + QString(" U+%1").arg(uint(c), 4, 16, QChar('0'))));
            }
        }
    }
    if (kanaOnly)
        QCOMPARE(kanji, 0);
    else
        QVERIFY(kanji > 100);
}

void TestScript::sharedScenes()
{
    // SfcScriptGirl: the boy's scenes up to 28 except 5; 29 and 30 her own;
    // then the boy's 30 to 46 one index higher, the last line's ending aside.
    for (int i = 0; i <= 28; ++i)
        QVERIFY2(sameTexts(SfcScriptGirl[i], SfcScriptBoy[i]) == (i != 5),
                 qPrintable(QString::number(i)));
    QVERIFY(!sameTexts(SfcScriptGirl[29], SfcScriptBoy[29]));
    for (int i = 30; i <= 45; ++i)
        QVERIFY2(sameTexts(SfcScriptGirl[i + 1], SfcScriptBoy[i]), qPrintable(QString::number(i)));
    QCOMPARE(text(SfcScriptGirl[47].Line1), text(SfcScriptBoy[46].Line1));
    QCOMPARE(text(SfcScriptGirl[47].Line2), text(SfcScriptBoy[46].Line2));
    QString boyEnd = text(SfcScriptBoy[46].Line3), girlEnd = text(SfcScriptGirl[47].Line3);
    QCOMPARE(girlEnd.chopped(4), boyEnd.chopped(6)); // "…   " against "。。。   "
    // SfcScriptNeither: the boy's scenes except 5, 13 and 29.
    for (int i = 0; i <= 46; ++i)
        QVERIFY2(sameTexts(SfcScriptNeither[i], SfcScriptBoy[i]) == (i != 5 && i != 13 && i != 29),
                 qPrintable(QString::number(i)));
    // ShortScriptNeither: ShortScript except 5 to 7.
    for (int i = 0; i <= 9; ++i)
        QVERIFY2(sameTexts(ShortScriptNeither[i], ShortScript[i]) == (i < 5 || i > 7),
                 qPrintable(QString::number(i)));
    // SpecialScript borrows the birthday, the outburst and the closing.
    QVERIFY(sameTexts(SpecialScript[1], SfcScriptBoy[1]));
    QVERIFY(sameTexts(SpecialScript[20], SfcScriptBoy[45]));
    QVERIFY(sameTexts(SpecialScript[38], SfcScriptBoy[46]));
    // The boy's outburst is in the words of ShortScript's scene 8.
    QVERIFY(sameTexts(SfcScriptBoy[45], ShortScript[8]));
}

void TestScript::nameReplacementTerminates()
{
    // "%" appears only in "%s", which is never followed by "s", so no name
    // without "%s" can make a new "%s" and ReplaceName always ends.
    for (const NamedScript &s : AllScripts) {
        for (const Scene &scene : s.script) {
            for (int line = 1; line <= 3; ++line) {
                const std::string l = lineOf(scene, line);
                for (std::size_t at = l.find('%'); at != std::string::npos;
                     at = l.find('%', at + 1)) {
                    QVERIFY2(at + 1 < l.size() && l[at + 1] == 's', l.c_str());
                    QVERIFY2(at + 2 >= l.size() || l[at + 2] != 's', l.c_str());
                }
            }
        }
    }
}

void TestScript::statements()
{
    std::map<QString, QString> owner;
    for (const NamedList &l : AllLists) {
        QCOMPARE(qsizetype(l.list.size()), qsizetype(l.statements + 2));
        QCOMPARE(text(l.list.back()), QString());
        for (int i = 1; i <= l.statements; ++i) {
            const QString s = text(l.list[i]);
            const QString where = QString("%1[%2]: %3").arg(l.name).arg(i).arg(s);
            QVERIFY2(!s.trimmed().isEmpty(), qPrintable(where));
            QVERIFY2(s.size() <= 41, qPrintable(where));
            QVERIFY2(!s.contains("%s"), qPrintable(where));
            QVERIFY2(s != text(QuestionnaireOpening), qPrintable(where));
            // Shown in Mes1 as it stands: keep it within the panel.
            QVERIFY2(displayWidth(s) <= 60, qPrintable(where));
            const auto [it, fresh] = owner.emplace(s, where);
            QVERIFY2(fresh, qPrintable(where + " also " + it->second));
        }
    }
    QCOMPARE(owner.size(), std::size_t(58 + 57 + 57));
}

void TestScript::encodableInCodePage932()
{
    std::vector<std::pair<QString, QString>> texts; // (where, text)
    for (const NamedScript &s : AllScripts)
        for (std::size_t i = 0; i < s.script.size(); ++i)
            for (int line = 1; line <= 4; ++line) {
                const char *t = line == 4 ? s.script[i].Control : lineOf(s.script[i], line);
                texts.emplace_back(QString("%1[%2].%3").arg(s.name).arg(i).arg(line), text(t));
            }
    for (const NamedList &l : AllLists)
        for (std::size_t i = 0; i < l.list.size(); ++i)
            texts.emplace_back(QString("%1[%2]").arg(l.name).arg(i), text(l.list[i]));
    texts.emplace_back("plea", text(QuestionnairePlea));
    for (const auto &[where, t] : texts) {
        QByteArray bytes;
        QVERIFY2(encodeCp932(t, &bytes), qPrintable(where + ": " + t));
        QVERIFY2(onlyJisX0208(bytes), qPrintable(where + ": " + t));
        // About 30 full-width characters at most in a ~490 px panel.
        QVERIFY2(displayWidth(t) <= 60, qPrintable(where + ": " + t));
    }
}

void TestScript::selectScript()
{
    auto is = [](Script got, Script want) {
        return got.data() == want.data() && got.size() == want.size();
    };
    // SfcMode off: the yes count is ignored, boy and girl read the same script.
    for (int yes : {0, 28, 29, 30, 59, -1}) {
        QVERIFY(is(SelectScript(false, 0, yes), ShortScript));
        QVERIFY(is(SelectScript(false, 1, yes), ShortScript));
        QVERIFY(is(SelectScript(false, -1, yes), ShortScriptNeither));
    }
    // SfcMode on.
    QVERIFY(is(SelectScript(true, 0, 29), SpecialScript));
    QVERIFY(is(SelectScript(true, 0, 28), SfcScriptBoy));
    QVERIFY(is(SelectScript(true, 0, 30), SfcScriptBoy));
    QVERIFY(is(SelectScript(true, 0, 0), SfcScriptBoy)); // opening refused after a first viewing
    QVERIFY(is(SelectScript(true, 0, 60), SfcScriptBoy));
    QVERIFY(is(SelectScript(true, 1, 29), SfcScriptGirl));
    QVERIFY(is(SelectScript(true, 1, 0), SfcScriptGirl));
    QVERIFY(is(SelectScript(true, -1, 29), SfcScriptNeither));
    QVERIFY(is(SelectScript(true, -1, 0), SfcScriptNeither));
}

void TestScript::selectStatements()
{
    QCOMPARE(SelectStatements(0).data(), StatementsBoy);
    QCOMPARE(SelectStatements(0).size(), std::size_t(60));
    QCOMPARE(SelectStatements(1).data(), StatementsGirl);
    QCOMPARE(SelectStatements(1).size(), std::size_t(59));
    QCOMPARE(SelectStatements(-1).data(), StatementsNeither);
    QCOMPARE(SelectStatements(-1).size(), std::size_t(59));
    // The special course needs exactly 28 of the boy's 58 statements answered yes.
    QVERIFY(SpecialCourseYesCount - 1 <= int(SelectStatements(0).size()) - 2);
}

void TestScript::kindPredicates()
{
    const std::map<char, std::pair<bool, bool>> table = {
        // kind: voice, question
        {'0', {false, false}}, {'1', {true, false}},  {'2', {false, true}},
        {'3', {true, true}},   {'4', {false, false}}, {'5', {true, false}},
        {'6', {false, false}}, {'9', {false, false}}, {'x', {false, false}},
    };
    for (const auto &[kind, expected] : table) {
        const char control[] = {kind, ',', '1', '2', ',', '3', '4', 0};
        const Scene scene{"", "", "", control};
        QCOMPARE(SceneKind(scene), kind);
        QCOMPARE(HasVoice(scene), expected.first);
        QCOMPARE(IsQuestion(scene), expected.second);
        QCOMPARE(IsInstant(scene), kind == '6');
        QVERIFY(!IsEndMarker(scene));
    }
    const Scene end{"", "", "", ""};
    QCOMPARE(SceneKind(end), '\0');
    QVERIFY(IsEndMarker(end));
    QVERIFY(!HasVoice(end) && !IsQuestion(end) && !IsInstant(end));
}

void TestScript::nextScene()
{
    // Questions: yes (0) gives AA, every other answer BB.
    const Scene question{"", "", "", "2,28,10"};
    QCOMPARE(NextScene(question, 9, 0), 28);
    QCOMPARE(NextScene(question, 9, 1), 10);
    QCOMPARE(NextScene(question, 9, 2), 10);
    QCOMPARE(NextScene(question, 9, -1), 10);
    QCOMPARE(NextScene(question, 9, 255), 10);
    const Scene spoken{"", "", "", "3,17,18"};
    QCOMPARE(NextScene(spoken, 16, 0), 17);
    QCOMPARE(NextScene(spoken, 16, 1), 18);
    QCOMPARE(NextScene(spoken, 16, 7), 18);
    // Jumps ignore the answer.
    const Scene jump{"", "", "", "4,23"};
    const Scene spokenJump{"", "", "", "5,12"};
    for (int answer : {0, 1, 5}) {
        QCOMPARE(NextScene(jump, 3, answer), 23);
        QCOMPARE(NextScene(spokenJump, 37, answer), 12);
    }
    // The separators are never examined: targets come from fixed positions.
    const Scene oddSeparators{"", "", "", "2;45/67"};
    QCOMPARE(NextScene(oddSeparators, 0, 0), 45);
    QCOMPARE(NextScene(oddSeparators, 0, 1), 67);
    QCOMPARE(ControlTarget(oddSeparators, FirstTargetPosition), 45);
    QCOMPARE(ControlTarget(oddSeparators, SecondTargetPosition), 67);
    // Everything else goes on to index + 1, whatever the answer.
    for (const char *control : {"0", "1", "6", "7", "x"}) {
        const Scene scene{"", "", "", control};
        QCOMPARE(NextScene(scene, 4, 0), 5);
        QCOMPARE(NextScene(scene, 4, 1), 5);
    }
    // Against the branch tables of the design.
    QCOMPARE(NextScene(SfcScriptBoy[9], 9, 0), 28);
    QCOMPARE(NextScene(SfcScriptBoy[9], 9, 1), 10);
    QCOMPARE(NextScene(SfcScriptBoy[27], 27, 0), 32);
    QCOMPARE(NextScene(SfcScriptGirl[27], 27, 0), 33);
    QCOMPARE(NextScene(SpecialScript[26], 26, 0), 27);
    QCOMPARE(NextScene(SpecialScript[26], 26, 1), 31);
    QCOMPARE(NextScene(SpecialScript[37], 37, 0), 12);
    QCOMPARE(NextScene(ShortScript[4], 4, 1), 5);
}

void TestScript::replaceName()
{
    QCOMPARE(ReplaceName("%s「%sと%s！", "ゆうしゃ"), QString("ゆうしゃ「ゆうしゃとゆうしゃ！"));
    QCOMPARE(ReplaceName("王「%sよ！   ", "ロト"), QString("王「ロトよ！   "));
    QCOMPARE(ReplaceName("%s%s", "ab"), QString("abab"));
    // An empty name removes every placeholder.
    QCOMPARE(ReplaceName("それは %s の　あさ。%s", ""), QString("それは  の　あさ。"));
    QCOMPARE(ReplaceName("%s", ""), QString());
    // No placeholder: unchanged; a lone "%" or "s" is no placeholder.
    QCOMPARE(ReplaceName("なにもなし 100% s", "x"), QString("なにもなし 100% s"));
    QCOMPARE(ReplaceName(QString(), "x"), QString());
    // The search restarts from the start after each replacement: a name that
    // completes a new "%s" with the text after it is replaced again.
    QCOMPARE(ReplaceName("%ss", "%"), QString("%"));
    QCOMPARE(ReplaceName("a%s%s", "b%"), QString("ab%b%"));
    // Every line of every script, with a name of the maximum 14 bytes.
    const QString name = "ＡＢＣＤＥＦＧ";
    for (const NamedScript &s : AllScripts)
        for (const Scene &scene : s.script)
            for (int line = 1; line <= 3; ++line) {
                const QString l = text(lineOf(scene, line));
                const QString shown = ReplaceName(l, name);
                QVERIFY(!shown.contains("%s"));
                QCOMPARE(shown.size(), l.size() + l.count("%s") * (name.size() - 2));
            }
}

TORVA_TEST_MAIN(TestScript)
#include "test_script.moc"
