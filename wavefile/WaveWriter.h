#pragma once
#include "SectionEntry.h"
#include "WaveDataStore.h"
#include "WaveFile.h"

#include <atomic>
#include <fstream>
#include <string>

// Creates one recording in the sectioned WAV format: a 44-byte header written at creation,
// the sample bytes appended by Write, and on Close the final sizes plus the "sect" chunk
// (the section lengths given to AddSection) after the end of the RIFF chunk.
//
// Threads: Write runs on the capture engine's fill worker (and on the window's thread while the
// engine halts); creation, AddSection, Close and destruction on the window's thread, Close and
// destruction only after the engine has been halted and the writer detached. AddSection touches
// only the section list and the entry count, which Write never touches. IsFull may be asked
// from any thread.
//
// Two things go beyond the plain format so that a recording is never lost or damaged:
//  - While recording, the RIFF size and the data size in the file are brought up to date after
//    every second of samples and the stream is flushed, so a file cut off by a crash holds a
//    valid header for everything up to the last whole second.
//  - The 32-bit sizes cannot wrap: samples past MaxDataBytes (or a lower limit given to
//    SetDataLimit) are refused, Write reports the bytes it took in *length, and IsFull turns
//    true, so that the recording command can save the file.
//  - A write that fails (a full disk, a file-size limit, an I/O error, an emptying Seek that
//    cannot open the file again) is never passed over: Failed turns true, the header is cut back
//    to the whole sample frames really in the file, Write takes nothing more, and Close reports
//    that the file was not completed. Close still writes the section list: when it does not fit
//    behind the samples, it takes the place of the last of them (never more than the list needs).
class CWaveWriter : public CWaveFile, public CWaveDataStore {
public:
    // Creates (or cuts to length 0) fileName and writes the header for 16-bit PCM at the given
    // rate and channel count. Throws WaveErrors::FileOperation, with the system's errno and the
    // name, when the file cannot be made or its header cannot be written (ENOSPC on a full disk,
    // EACCES or EROFS in a folder that takes no files), and with EAGAIN when another process holds
    // the file's lock (it is recording into it): that file is then left as it is.
    //
    // From creation to Close (or destruction) the writer holds an advisory write lock on the whole
    // file (an open file description lock, which NFS passes to its lock manager): another process
    // can tell a recording being made from one left unfinished (CRecordingRepair does).
    CWaveWriter(const char* fileName, unsigned sampleRate, unsigned short channels);
    // Closes the file (see Close) and frees the section list.
    ~CWaveWriter() override;

    // Appends a section length in whole seconds and counts it in the sect header image. Works
    // after Close too, but then nothing writes the list any more.
    virtual SectionEntry* AddSection(unsigned seconds);
    // Writes the 8-byte sect header image at the stream's current position.
    virtual void WriteSectHeader();
    // Writes the final header (sizes of all samples written), then "sect", the entry count and
    // the entries after the last sample byte, and closes the file. True when the file was
    // completed; false when this or any earlier write failed (the file then holds the samples
    // that reached it, under a header that claims just those). A second call changes nothing
    // and answers the same.
    virtual bool Close();

    // Appends *length sample bytes if the file is open. *length is left as it is, except when the
    // size limit is reached or the write fails: then it is lowered to the bytes actually taken
    // (whole sample frames). After a failure it takes nothing (*length = 0).
    void Write(const char* data, unsigned* length) override;
    void GetFormat(unsigned* sampleRate, unsigned short* bitsPerSample, unsigned short* channels) override;
    // Only Seek(0, true) on an open file that has not failed does something: it empties the
    // recording (the file is cut back to the bare header; the section list stays). Always
    // returns false.
    bool Seek(std::int64_t offset, bool absolute) override;
    std::uint64_t Tell() override { return 0; }
    std::uint64_t GetLength() override { return 0; }

    // The most sample bytes a file can hold with the given block align (bytes per sample frame)
    // so that no size or offset in it, the "sect" chunk's included, passes 32 bits.
    static unsigned MaxDataBytes(unsigned short blockAlign);
    // Lowers the size limit (for example to keep recordings small enough for some medium);
    // rounded down to whole frames and never above MaxDataBytes. Call it before the writer is
    // attached to the capture engine.
    void SetDataLimit(unsigned bytes);
    // True once Write has refused samples because the file reached its size limit.
    bool IsFull() const { return m_Full.load(); }
    // True once a write, a size update, an emptying Seek or Close failed. Any thread may ask;
    // it stays true for the writer's life.
    bool Failed() const { return m_Failed.load(); }
    // Why the first failure happened: its errno (ENOSPC, EFBIG, EIO, ...); 0 while nothing failed.
    // Any thread may ask. FailureReason gives it in plain words (WaveErrors::ReasonText).
    int FailureErrno() const { return m_Errno.load(); }
    std::string FailureReason() const;

private:
    // Opens the lock descriptor and takes the lock; throws FileOperation when it cannot.
    void TakeFile();
    // Closes the lock descriptor: the lock goes with it.
    void ReleaseFile();
    // Marks the writer failed; the first failure's errno (EIO when the system gave none) stays.
    void NoteFailure(int error);
    void PutSizesInImages(unsigned dataBytes);
    bool OpenAndWriteHeader();
    void KeepSizesCurrent();
    // Writes the RIFF size and the data size for m_DataBytes at offsets 4 and 40.
    void WriteSizes();
    // After a failed write: marks the writer failed, holds m_DataBytes to the whole frames in the
    // file, cuts the file behind them and puts those sizes in its header.
    void Salvage();
    // The "sect" header image and the entries, at the stream's position.
    void WriteSectionList();
    // After Salvage at Close: the section list in place of the last samples.
    void MakeRoomForSections();
    unsigned short BlockAlign() const;
    // Bytes of one sample frame, never below one 16-bit sample.
    unsigned FrameBytes() const;

    SectionEntry* m_pFirstEntry = nullptr;
    SectionEntry* m_pLastEntry = nullptr;
    std::ofstream m_File;
    std::string m_FileName;
    unsigned m_HeaderSize = 44;
    unsigned m_DataBytes = 0;

    unsigned m_DataLimit = 0;
    // Sample bytes between two updates of the sizes in the file: one second of sound.
    unsigned m_SizeUpdateBytes = 1;
    unsigned m_BytesAtSizeUpdate = 0;
    std::atomic<bool> m_Full{false};
    std::atomic<bool> m_Failed{false};
    std::atomic<int> m_Errno{0};
    int m_LockFd = -1;
};
