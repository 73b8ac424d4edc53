#pragma once
// A subcommand's command line: its own parser and --help, the options that
// mean the same in every subcommand spelled the same (-p, -o, -f,
// --timeout), and the choice of the port.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    // `usage` is the line after "Usage: veltra8-cli "; `about` the text
    // between it and the options.
    CommandLine(const QString& command, const QString& usage, const QString& about);

    void AddPort();
    void AddOutput(const QString& description, const QString& valueName = tr("FILE"));
    void AddFormat(const QStringList& formats, const QString& description);
    void AddTimeout(const QString& description);
    // --name, the logger's name in line protocol; `fallback` says in the
    // help what stands without it.
    void AddLoggerName(const QString& fallback);
    void AddFlag(const QStringList& names, const QString& description);
    void AddValue(const QStringList& names, const QString& description, const QString& valueName);
    // `many`: any number of them, at least one being the command's to check.
    void AddPositional(const QString& name, const QString& description, bool many = false);

    // Parses the arguments after the command's name. True when --help was
    // asked for and printed: the command then does nothing else. Raises
    // CliFailure (Exit::Usage) for anything it cannot read.
    bool Parse(const QStringList& arguments);

    // False for an option this command does not have.
    bool IsSet(const QString& name) const { return defined_.contains(name) && parser_.isSet(name); }
    QString Value(const QString& name) const { return parser_.value(name); }
    QStringList Values(const QString& name) const { return parser_.values(name); }
    QStringList Positional() const { return parser_.positionalArguments(); }

    // -p, else $VELTRA8_PORT, else the one port `ports` lists. None or
    // several: CliFailure (Exit::Usage) with the list.
    QString Port() const;
    // --timeout in seconds, 10 by default.
    double Timeout() const;
    // -f, one of the formats given to AddFormat, or `fallback`.
    QString Format(const QString& fallback) const;
    // --name, else `fallback`, as the line protocol's tag value. A name it
    // cannot carry: CliFailure (Exit::Usage).
    QByteArray LoggerTag(const QString& fallback) const;
    QString OutputPath() const { return IsSet(QStringLiteral("output")) ? Value(QStringLiteral("output")) : QString(); }

    [[noreturn]] void UsageFailure(const QString& message) const;

private:
    QString command_;
    QString usage_;
    QString about_;
    QStringList formats_;
    qsizetype positionals_ = 0;
    bool manyPositionals_ = false;
    QStringList defined_;
    void add(const QCommandLineOption& option);
    QCommandLineParser parser_;
};

// The text of `veltra8-cli --help`.
QString GeneralHelp();
