// Reports of result rows as CSV files: one header line, then one line per
// row, fields quoted where RFC 4180 asks for it (a field holding a comma, a
// double quote, a carriage return or a line feed is put in double quotes,
// its double quotes doubled), every line ended by CR LF, the last one too.
// The file is UTF-8 with a byte-order mark, so spreadsheet programs read
// every letter. Platform-free.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegistryItem.h"

// Language keys of the header texts, in column order: the number of the
// check that found a row (command-line scans only), then the four columns of
// a result row. A report without the check column uses the last four.
constexpr const char* kCsvReportColumnKeys[5] = {"_CsvReportCol1", "_CsvReportCol2", "_CsvReportCol3",
                                                 "_CsvReportCol4", "_CsvReportCol5"};

// One field as it goes into a line. A text that begins with "=", "+", "-",
// "@", a tab or a carriage return, by which a spreadsheet would take it for a
// formula, gets an apostrophe before it, so that the cell shows as text; the
// quoting rules then apply to the whole.
std::string CsvField(const std::string& text);

// The fields joined by commas, with CR LF at the end.
std::string CsvLine(const std::vector<std::string>& fields);

// The four columns of a result row: root, key path, value name, data text.
std::vector<std::string> ReportFields(const RegistryItem& row);

enum class CsvReportStatus {
    Written,        // every line is in the file
    CannotCreate,   // the file could not be created; nothing was written
    WriteFailed,    // writing failed; the partial file was removed
};

// Writes a report line by line through a file of the file system. Lines are
// gathered and written in blocks. A report that is not finished, or whose
// writing failed, is removed: there is either a whole report or none.
class CsvReportWriter {
public:
    explicit CsvReportWriter(FileSystem& files) : files_(files) {}
    ~CsvReportWriter();
    CsvReportWriter(const CsvReportWriter&) = delete;
    CsvReportWriter& operator=(const CsvReportWriter&) = delete;

    // Creates (or replaces) the file and writes the header line.
    CsvReportStatus Open(const std::string& path, const std::vector<std::string>& headerTexts);
    // One row; false once writing has failed.
    bool AddRow(const std::vector<std::string>& fields);
    // Writes what is left and closes the file; removes it when anything
    // failed.
    CsvReportStatus Finish();
    std::size_t RowCount() const { return rows_; }

private:
    bool Flush();
    void Abandon();

    FileSystem& files_;
    std::unique_ptr<OutputFile> file_;
    std::string path_;
    std::string pending_;
    std::size_t rows_ = 0;
    bool failed_ = false;
};

// A whole report of result rows, under the four header texts.
CsvReportStatus WriteCsvReport(FileSystem& files, const std::string& path,
                               const std::vector<std::string>& headerTexts,
                               const std::vector<RegistryItem>& rows);

// A row of a command-line scan: the number of the check (1 to 11) that
// found it comes first.
struct CheckReportRow {
    int check = 0;
    RegistryItem row;
};

// A whole report of a command-line scan, under the five header texts.
CsvReportStatus WriteCheckCsvReport(FileSystem& files, const std::string& path,
                                    const std::vector<std::string>& headerTexts,
                                    const std::vector<CheckReportRow>& rows);
