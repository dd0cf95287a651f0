// What a run of the registry editor left behind: whether an export wrote its
// file this time, and, after a merge, which entries of the merged file are
// not in the registry as the file says. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/RegReader.h"
#include "core/RestoreCheck.h"

// A file's presence, size and last-write time, read before and after a run.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;   // in the file system's own ticks
};

// True when the run wrote the file: it is there, not empty, and it is new or
// its size or last-write time changed. A file the editor left as it was (it
// could not write it) or truncated to nothing is no backup.
bool ExportWroteFile(const FileStamp& before, const FileStamp& after);

// How a run of the editor went, as the process tells it.
struct EditorOutcome {
    bool started = false;        // the editor's process was created
    bool ended = false;          // it was waited for and has ended
    std::uint32_t exitCode = 0;  // its exit code, once ended

    // Started, ended and ended with success (exit code 0).
    bool Succeeded() const { return started && ended && exitCode == 0; }
};

// True when the bytes read as a whole REG file: one of the two headers, at
// least one key, no line the reader refused, and a last line that ends with
// its line end (a file cut off in the middle of a line is not whole).
bool IsWholeRegFile(TextRules& textRules, const std::string& bytes);

// True when an export wrote a backup that can be relied upon: the editor
// started and ended with success, the run wrote the file (ExportWroteFile)
// and the bytes it holds now read as a whole REG file. Anything less is no
// backup, and nothing may be removed in its favour.
bool ExportWroteBackup(const FileStamp& before, const FileStamp& after, const EditorOutcome& editor,
                       TextRules& textRules, const std::string& bytes);

// The outcome of checking a merged file against the registry.
struct RestoreVerification {
    // The file had one of the two headers, so its entries were checked.
    bool fileRead = false;
    // Keys and values compared.
    std::size_t checked = 0;
    // The entries that did not come back: real shortfalls of the restore.
    std::vector<RestoreShortfall> shortfalls;
    // The entries that did not come back because Windows keeps their keys
    // in memory and writes them itself (volatile keys): no loss, named apart.
    std::vector<RestoreShortfall> keptBySystem;
    // The lines the reader could not read: their entries were not checked.
    std::vector<RegRefusedLine> refusedLines;

    // Entries that did not come back plus lines that could not be checked;
    // the entries Windows keeps itself are none of them.
    std::size_t ProblemCount() const { return shortfalls.size() + refusedLines.size(); }
    // The compared entries that are as the file holds them.
    std::size_t VerifiedCount() const { return checked - shortfalls.size() - keptBySystem.size(); }
};

// Reads the merged file's bytes and compares what it leaves behind with the
// registry (see CheckRestoredEntries); convert and context as ReadRegFile
// takes them.
RestoreVerification VerifyRestore(RegistryAccess& registry, TextRules& textRules, const std::string& bytes,
                                  const std::string& defaultValueText);

// The list of a verification's problems for a text file: the header line,
// then every entry that did not come back and every line that could not be
// read (refusedLineFormat filled with its line number), in the order of their
// lines in the merged file. Every line ends in CR LF.
std::string RestoreProblemList(const std::string& header, const RestoreVerification& verification,
                               const std::string& refusedLineFormat);
