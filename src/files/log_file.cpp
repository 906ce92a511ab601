#include "files/log_file.h"

#include <span>
#include <string>

#include "files/log_record.h"

namespace sondrix {

EFileStatus CLogFileWriter::WriteChunk(const CFilePath& path, size_t chunkIndex, CLogStore& store) {
    std::string text;
    std::span<const uint8_t> record;
    while (store.Next(record)) {
        text += FormatLogLine(record);
        text += "\r\n";
    }
    store.Reset();
    if (chunkIndex == 0 || !m_file) {
        m_file = std::make_unique<CReplacingFile>(path);
        if (!m_file->Open()) {
            return Failed();
        }
    }
    const std::span bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return m_file->Write(bytes) ? EFileStatus::Ok : Failed();
}

EFileStatus CLogFileWriter::Finish() {
    if (!m_file || !m_file->Commit()) {
        return Failed();
    }
    m_bytes = m_file->BytesWritten();
    m_file.reset();
    return EFileStatus::Ok;
}

void CLogFileWriter::Abandon() {
    m_file.reset();
}

EFileStatus CLogFileWriter::Failed() {
    m_error = m_file ? m_file->Error() : std::string();
    m_file.reset();
    return EFileStatus::IoError;
}

}  // namespace sondrix
