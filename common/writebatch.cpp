#include "writebatch.h"

#include "textfileparts.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

using TextFile::CrashPoint;
using TextFileParts::BlockBytes;
using TextFileParts::crashPoint;

WriteBatch::File::File(const std::string& path, Same same, TextFile::Link link) : m_path(path) {
    const TextFileParts::WriteTarget target = TextFileParts::resolveWriteTarget(path, link);
    m_target = target.path;
    m_keepMode = target.plain;
    m_oldMode = target.mode;
    if (same == Same::Keep && target.plain)
        m_old = TextFileParts::openToCompare(m_target, m_oldSize);
    if (m_old) {
        m_state = State::Comparing;
    } else {
        m_temp = TextFileParts::createTempBeside(m_target, m_keepMode ? &m_oldMode : nullptr);
    }
}

WriteBatch::File::~File() {
    TextFileParts::giveBackRoom(std::move(m_oldBlock), BlockBytes);
}

template <class Step> void WriteBatch::File::guarded(Step step) {
    TextFileParts::guardedStep(
        m_failure, [this] { discard(); }, step);
}

void WriteBatch::File::discard() {
    m_temp.reset();
    m_old.reset();
    TextFileParts::giveBackRoom(std::move(m_oldBlock), BlockBytes);
    m_pending.clear();
    m_state = State::Discarded;
}

void WriteBatch::File::diverge() {
    m_temp = TextFileParts::createTempBeside(m_target, m_keepMode ? &m_oldMode : nullptr);
    m_state = State::Writing;
    // The bytes found equal are the new file's first bytes: copied from the old one.
    if (!m_oldBlock)
        m_oldBlock = TextFileParts::takeRoom(BlockBytes);
    for (std::int64_t at = 0; at < m_matched;) {
        const size_t n = static_cast<size_t>(std::min<std::int64_t>(BlockBytes, m_matched - at));
        if (m_old->readAt(at, m_oldBlock.get(), n) != n)
            throw FileError("The file changed while it was being replaced");
        m_temp->write(std::string_view(m_oldBlock.get(), n));
        at += static_cast<std::int64_t>(n);
    }
    m_old.reset();
    TextFileParts::giveBackRoom(std::move(m_oldBlock), BlockBytes);
}

void WriteBatch::File::flushPending() {
    if (m_pending.empty())
        return;
    m_temp->write(m_pending);
    m_pending.clear();
}

void WriteBatch::File::write(std::string_view bytes) {
    guarded([&] {
        if (m_state != State::Comparing && m_state != State::Writing)
            throw FileError("The file is already written");
        if (m_state == State::Comparing) {
            // Compared block by block with the bytes on the disk; the first difference
            // starts the temporary file.
            if (!m_oldBlock)
                m_oldBlock = TextFileParts::takeRoom(BlockBytes);
            while (!bytes.empty()) {
                const size_t n = static_cast<size_t>(std::min<std::int64_t>(
                    std::min(bytes.size(), BlockBytes), m_oldSize - m_matched));
                if (n == 0 || m_old->readAt(m_matched, m_oldBlock.get(), n) != n ||
                    std::memcmp(m_oldBlock.get(), bytes.data(), n) != 0) {
                    diverge();
                    break;
                }
                m_matched += static_cast<std::int64_t>(n);
                bytes.remove_prefix(n);
            }
            if (m_state == State::Comparing)
                return;
        }
        // Small pieces are gathered into blocks; a large one goes straight through.
        if (m_pending.size() + bytes.size() < BlockBytes) {
            m_pending += bytes;
            return;
        }
        flushPending();
        m_temp->write(bytes);
    });
}

void WriteBatch::File::finish() {
    guarded([&] {
        if (m_state == State::Comparing) {
            // Equal only when the old file ends where the new bytes do.
            if (m_matched == m_oldSize) {
                m_old.reset();
                TextFileParts::giveBackRoom(std::move(m_oldBlock), BlockBytes);
                m_state = State::Equal;
                return;
            }
            diverge();
        }
        if (m_state != State::Writing)
            throw FileError("The file is already written");
        flushPending();
        m_state = State::Finished;
        crashPoint(CrashPoint::TempWritten);
    });
}

WriteBatch::WriteBatch(Durability durability) : m_durability(durability) {}

WriteBatch::~WriteBatch() = default;

WriteBatch::File& WriteBatch::add(const std::string& path, Same same, TextFile::Link link) {
    if (m_committed)
        throw FileError("The files are already written");
    return *m_files.emplace_back(std::make_unique<File>(path, same, link));
}

void WriteBatch::discardAll() {
    for (const std::unique_ptr<File>& file : m_files)
        if (file->m_state != File::State::Equal && file->m_state != File::State::Placed)
            file->discard();
}

void WriteBatch::commit() {
    if (m_committed)
        return;
    m_committed = true;
    std::vector<File*> changed;
    std::vector<TextFileParts::TempFile*> temps;
    m_kept = 0;
    m_replaced = 0;
    for (const std::unique_ptr<File>& file : m_files) {
        if (file->m_state == File::State::Finished) {
            changed.push_back(file.get());
            temps.push_back(file->m_temp.get());
        } else if (file->m_state == File::State::Equal) {
            ++m_kept;
        } else {
            file->discard(); // never finished: left out
        }
    }
    // Until every file is on the disk nothing is renamed: a failure keeps every old file.
    try {
        TextFileParts::makeDurable(temps, m_durability);
        crashPoint(CrashPoint::Synced);
        for (File* file : changed) {
            try {
                file->m_temp->close();
            } catch (const FileError& e) {
                throw BatchError(file->m_path, e.what());
            }
        }
    } catch (const BatchError&) {
        discardAll();
        throw;
    }
    std::set<std::string> folders;
    std::optional<BatchError> failure;
    for (File* file : changed) {
        if (failure) {
            file->discard();
            continue;
        }
        try {
            if (const int error = TextFileParts::injectedError(TextFile::Step::Rename))
                TextFileParts::failWith(error);
            file->m_temp->moveInto();
            file->m_temp.reset();
            file->m_state = File::State::Placed;
            ++m_replaced;
            folders.insert(TextFileParts::folderOf(file->m_target));
            crashPoint(CrashPoint::Renamed);
        } catch (const FileError& e) {
            failure.emplace(file->m_path, e.what());
            file->discard();
        }
    }
    crashPoint(CrashPoint::BeforeFolderSync);
    // The new names themselves must survive a power cut, also those renamed before a
    // failure.
    for (const std::string& folder : folders) {
        try {
            TextFileParts::syncFolder(folder);
        } catch (const FileError& e) {
            if (!failure)
                failure.emplace(folder, e.what());
        }
    }
    if (failure)
        throw *failure;
}

// ---- A batch of one. ----

struct AtomicFileWriter::Impl {
    WriteBatch batch;
    WriteBatch::File* file = nullptr;
    bool committed = false;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path, Link link)
    : m_path(path), m_impl(std::make_unique<Impl>()) {
    m_impl->file = &m_impl->batch.add(path, WriteBatch::Same::Replace, link);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::string_view bytes) {
    m_impl->file->write(bytes);
}

void AtomicFileWriter::commit() {
    if (m_impl->committed)
        return;
    m_impl->file->finish();
    m_impl->batch.commit();
    m_impl->committed = true;
}
