// veltra8-cli in the user's language: Spanish or English, chosen by
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG as a user's session sets them; the
// help, the messages, Qt's parser texts and the plural forms.
#include "tests/support/programs.h"

#include <gtest/gtest.h>

#include <QLibraryInfo>
#include <QRegularExpression>

namespace {

// A session's locale variables; the ones not given are cleared, so the
// test's own environment decides nothing.
QStringList localeEnvironment(const QStringList& given)
{
    QStringList all;
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString prefix = QString::fromLatin1(name) + u'=';
        QString value = prefix;
        for (const QString& g : given)
            if (g.startsWith(prefix))
                value = g;
        all << value;
    }
    return all;
}

class CliLocale : public ::testing::Test {
protected:
    CliResult run(const QStringList& locale, const QStringList& arguments)
    {
        return CliProcess(arguments, dir.path(), localeEnvironment(locale)).Finish();
    }
    QTemporaryDir dir;
};

const QList<QStringList> spanishSessions = {
    {"LANG=es_ES.UTF-8"},
    {"LANG=es_AR.UTF-8"},
    {"LANGUAGE=es", "LANG=en_US.UTF-8"},
    {"LANGUAGE=fr:es", "LANG=fr_FR.UTF-8"},
    {"LC_MESSAGES=es_ES.UTF-8", "LANG=C"},
    {"LC_ALL=es_ES.UTF-8", "LANG=en_US.UTF-8"},
};

const QList<QStringList> englishSessions = {
    {},
    {"LANG=C"},
    {"LANG=C.UTF-8"},
    {"LANG=en_US.UTF-8"},
    {"LANG=fr_FR.UTF-8"},
    {"LC_ALL=C", "LANG=es_ES.UTF-8"},
};

}  // namespace

TEST_F(CliLocale, SpanishSessionGetsSpanishHelpAndMessages)
{
    const bool qtSpanish = QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_es.qm"));
    for (const QStringList& session : spanishSessions) {
        SCOPED_TRACE(session.join(u' ').toStdString());
        const CliResult help = run(session, {QStringLiteral("--help")});
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.startsWith("Uso: veltra8-cli COMANDO [opciones]\n")) << help.out.constData();
        EXPECT_TRUE(help.out.contains("Códigos de salida:"));

        const CliResult live = run(session, {QStringLiteral("live"), QStringLiteral("--help")});
        EXPECT_TRUE(live.out.startsWith("Uso: veltra8-cli live ")) << live.out.constData();
        EXPECT_TRUE(live.out.contains("\nOpciones:\n  -h, --help ")) << live.out.constData();
        EXPECT_TRUE(live.out.contains("Muestra esta ayuda.")) << live.out.constData();

        const CliResult rate = run(session, {QStringLiteral("set-rate"), QStringLiteral("7")});
        EXPECT_EQ(rate.code, 2);
        EXPECT_EQ(rate.err.toStdString(),
            "veltra8-cli: 7: no es un intervalo de muestreo; indique 1, 15, 30 o 60 (vea 'veltra8-cli set-rate --help')\n");
        const CliResult bogus = run(session, {QStringLiteral("live"), QStringLiteral("--bogus")});
        EXPECT_EQ(bogus.code, 2);
        EXPECT_EQ(bogus.err.toStdString(), "veltra8-cli: Opción desconocida 'bogus'. (vea 'veltra8-cli live --help')\n");

        // The reason comes from Qt's own translations where they are installed.
        const CliResult missing = run(session, {QStringLiteral("convert"), dir.filePath(QStringLiteral("none.txt"))});
        EXPECT_EQ(missing.code, 5);
        EXPECT_TRUE(missing.err.contains(QLatin1String("none.txt: no se puede abrir: "))) << missing.err.toStdString();
        if (qtSpanish) {
            EXPECT_FALSE(missing.err.contains(QLatin1String("No such file"))) << missing.err.toStdString();
        }
    }
}

TEST_F(CliLocale, AnyOtherSessionGetsEnglish)
{
    for (const QStringList& session : englishSessions) {
        SCOPED_TRACE(session.join(u' ').toStdString());
        const CliResult help = run(session, {QStringLiteral("--help")});
        EXPECT_EQ(help.code, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: veltra8-cli COMMAND [options]\n")) << help.out.constData();

        const CliResult live = run(session, {QStringLiteral("live"), QStringLiteral("--help")});
        EXPECT_TRUE(live.out.contains("\nOptions:\n  -h, --help ")) << live.out.constData();

        const CliResult rate = run(session, {QStringLiteral("set-rate"), QStringLiteral("7")});
        EXPECT_EQ(rate.code, 2);
        EXPECT_EQ(rate.err.toStdString(),
            "veltra8-cli: 7: not a sampling interval; give 1, 15, 30 or 60 (see 'veltra8-cli set-rate --help')\n");
        const CliResult missing = run(session, {QStringLiteral("convert"), dir.filePath(QStringLiteral("none.txt"))});
        EXPECT_TRUE(missing.err.contains(QLatin1String("none.txt: cannot open: No such file or directory"))) << missing.err.toStdString();
    }
}

// The live table's column titles and the count of skipped frames, whose
// noun agrees with the number in either language.
TEST_F(CliLocale, LiveTableAndSkippedFramesInTheSessionsLanguage)
{
    SimulatorProcess sim(dir.path(), {QStringLiteral("--frame-period"), QStringLiteral("150"), QStringLiteral("--unpaced"),
                                         QStringLiteral("--bad-frame-every"), QStringLiteral("3")});
    ASSERT_FALSE(sim.Link().isEmpty());
    struct Language {
        QStringList session;
        const char* header;
        const char* one;
        const char* many;
    };
    for (const Language& l : {Language{{"LANG=es_ES.UTF-8"}, "hora del logger", "trama en vivo ilegible omitida", "tramas en vivo ilegibles omitidas"},
             Language{{"LANG=C"}, "logger time", "unreadable live frame skipped", "unreadable live frames skipped"}}) {
        SCOPED_TRACE(l.header);
        const CliResult r = run(l.session, {QStringLiteral("live"), QStringLiteral("-p"), sim.Link(), QStringLiteral("-n"),
                                               QStringLiteral("3"), QStringLiteral("-f"), QStringLiteral("text")});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(l.header)) << r.out.constData();
        const QRegularExpressionMatch skipped = QRegularExpression(QStringLiteral("^veltra8-cli: (\\d+) (.*)\\n$")).match(r.err);
        ASSERT_TRUE(skipped.hasMatch()) << r.err.toStdString();
        EXPECT_EQ(skipped.captured(2), QLatin1String(skipped.captured(1) == QLatin1String("1") ? l.one : l.many));
    }
}
