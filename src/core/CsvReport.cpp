// CSV reports of result rows (see CsvReport.h).
#include "core/CsvReport.h"

#include "core/Text.h"

namespace {

constexpr const char* kLineEnd = "\r\n";
// Lines are handed to the file in blocks of about this size.
constexpr std::size_t kBlockSize = 64 * 1024;

bool NeedsQuotes(char c)
{
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

// The first characters by which a spreadsheet takes a cell for a formula.
bool StartsAsFormula(const std::string& text)
{
    if (text.empty())
        return false;
    const char first = text[0];
    return first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r';
}

} // namespace

std::string CsvField(const std::string& text)
{
    bool quoted = false;
    std::string inner;
    inner.reserve(text.size() + 3);
    // A leading apostrophe makes a spreadsheet show such a cell as text, so a
    // value planted in the registry never runs as a formula in a report.
    if (StartsAsFormula(text))
        inner += '\'';
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t next = NextCharIndex(text, i);
        if (next == i + 1 && NeedsQuotes(text[i])) {
            quoted = true;
            if (text[i] == '"')
                inner += '"';
        }
        inner.append(text, i, next - i);
        i = next;
    }
    return quoted ? "\"" + inner + "\"" : inner;
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line + kLineEnd;
}

std::vector<std::string> ReportFields(const RegistryItem& row)
{
    return {row.rootName, row.keyPath, row.valueName, row.dataText};
}

CsvReportWriter::~CsvReportWriter()
{
    if (file_)
        Abandon();
}

CsvReportStatus CsvReportWriter::Open(const std::string& path, const std::vector<std::string>& headerTexts)
{
    if (file_)
        Abandon();
    failed_ = false;
    rows_ = 0;
    pending_.clear();
    path_ = path;
    file_ = files_.CreateOutputFile(path, false);
    if (!file_)
        return CsvReportStatus::CannotCreate;
    // UTF-8 with a byte-order mark, by which spreadsheet programs know it.
    pending_ = "\xEF\xBB\xBF" + CsvLine(headerTexts);
    if (!Flush()) {
        Abandon();
        return CsvReportStatus::WriteFailed;
    }
    return CsvReportStatus::Written;
}

bool CsvReportWriter::AddRow(const std::vector<std::string>& fields)
{
    if (!file_ || failed_)
        return false;
    pending_ += CsvLine(fields);
    ++rows_;
    return pending_.size() < kBlockSize || Flush();
}

CsvReportStatus CsvReportWriter::Finish()
{
    if (!file_)
        return CsvReportStatus::CannotCreate;
    const bool written = Flush() && file_->Close();
    if (!written) {
        Abandon();
        return CsvReportStatus::WriteFailed;
    }
    file_.reset();
    return CsvReportStatus::Written;
}

bool CsvReportWriter::Flush()
{
    if (failed_ || !file_->Write(pending_))
        failed_ = true;
    pending_.clear();
    return !failed_;
}

void CsvReportWriter::Abandon()
{
    file_->Close();
    file_.reset();
    pending_.clear();
    failed_ = true;
    files_.RemoveFile(path_);
}

CsvReportStatus WriteCsvReport(FileSystem& files, const std::string& path,
                               const std::vector<std::string>& headerTexts,
                               const std::vector<RegistryItem>& rows)
{
    CsvReportWriter writer(files);
    const CsvReportStatus opened = writer.Open(path, headerTexts);
    if (opened != CsvReportStatus::Written)
        return opened;
    for (const RegistryItem& row : rows) {
        if (!writer.AddRow(ReportFields(row)))
            break;
    }
    return writer.Finish();
}

CsvReportStatus WriteCheckCsvReport(FileSystem& files, const std::string& path,
                                    const std::vector<std::string>& headerTexts,
                                    const std::vector<CheckReportRow>& rows)
{
    CsvReportWriter writer(files);
    const CsvReportStatus opened = writer.Open(path, headerTexts);
    if (opened != CsvReportStatus::Written)
        return opened;
    for (const CheckReportRow& entry : rows) {
        std::vector<std::string> fields = ReportFields(entry.row);
        fields.insert(fields.begin(), std::to_string(entry.check));
        if (!writer.AddRow(fields))
            break;
    }
    return writer.Finish();
}
