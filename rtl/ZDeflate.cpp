// The parallel deflate, apart from the streams: programs that only inflate (the installer)
// carry none of its threads.
#include "ZStreams.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "Errors.h"
#include "ZlibCheck.h"

namespace rtl {

namespace {

constexpr size_t WindowSize = 32768;

// One block of a parallel deflate: its input, the window before it, and what it becomes.
struct TBlock {
    std::vector<uint8_t> Input;
    std::vector<uint8_t> Dictionary;
    std::vector<uint8_t> Output;
    uLong Adler = 0;
    bool Last = false;
    bool Done = false;
    std::exception_ptr Error;
};

void DeflateBlock(TBlock& block) {
    try {
        z_stream z{};
        Check(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY),
              z);
        struct TEnd {
            z_stream& z;
            ~TEnd() { deflateEnd(&z); }
        } end{z};
        if (!block.Dictionary.empty())
            Check(deflateSetDictionary(&z, block.Dictionary.data(),
                                       static_cast<uInt>(block.Dictionary.size())),
                  z);
        // A sync flush adds an empty stored block; the bound leaves room for it.
        block.Output.resize(deflateBound(&z, static_cast<uLong>(block.Input.size())) + 16);
        z.next_in = block.Input.data();
        z.avail_in = static_cast<uInt>(block.Input.size());
        z.next_out = block.Output.data();
        z.avail_out = static_cast<uInt>(block.Output.size());
        const int result = deflate(&z, block.Last ? Z_FINISH : Z_SYNC_FLUSH);
        Check(result, z);
        if (z.avail_in != 0 || (block.Last && result != Z_STREAM_END))
            throw ECompressionError();
        block.Output.resize(block.Output.size() - z.avail_out);
        block.Adler = adler32(adler32(0, Z_NULL, 0), block.Input.data(),
                              static_cast<uInt>(block.Input.size()));
    } catch (...) {
        block.Error = std::current_exception();
    }
}

// The slots of a parallel deflate: the caller reads blocks into free slots in input order,
// workers deflate them as they come, and the caller writes each out in order as soon as it
// is done. No batch waits for its slowest block, and the buffers of a slot are reused.
class TDeflatePipeline {
public:
    TDeflatePipeline(unsigned workers, size_t slots) : slots_(slots) {
        for (unsigned w = 0; w < workers; ++w)
            workers_.emplace_back([this] { Work(); });
    }
    ~TDeflatePipeline() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        queued_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }
    TDeflatePipeline(const TDeflatePipeline&) = delete;
    TDeflatePipeline& operator=(const TDeflatePipeline&) = delete;

    bool HasRoom() const { return submitted_ - finished_ < slots_.size(); }
    bool Busy() const { return submitted_ > finished_; }
    // The slot the next block is read into; no worker touches it until Submit.
    TBlock& Next() { return slots_[submitted_ % slots_.size()]; }
    void Submit() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            slots_[submitted_ % slots_.size()].Done = false;
            ++submitted_;
        }
        queued_.notify_one();
    }
    // The oldest block not yet handed back, once deflated; it stays the caller's until the
    // next call.
    TBlock& TakeOldest() {
        TBlock& block = slots_[finished_ % slots_.size()];
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return block.Done; });
        ++finished_;
        return block;
    }

private:
    void Work() {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            queued_.wait(lock, [&] { return stopping_ || taken_ < submitted_; });
            if (stopping_)
                return;
            TBlock& block = slots_[taken_++ % slots_.size()];
            lock.unlock();
            DeflateBlock(block);
            lock.lock();
            block.Done = true;
            done_.notify_all();
        }
    }

    std::vector<TBlock> slots_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable done_;
    size_t submitted_ = 0;
    size_t taken_ = 0;
    size_t finished_ = 0;
    bool stopping_ = false;
};

} // namespace

void Deflate(TStream& source, int64_t size, TStream& target,
             const std::function<void(int64_t done)>& progress, unsigned threads) {
    if (size < DeflateBlockSize) {
        DeflateWhole(source, size, target, progress);
        return;
    }
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    // The zlib header of a level-9 stream with the default window: 78 DA.
    const uint8_t header[2] = {0x78, 0xDA};
    target.WriteBuffer(header, 2);
    uLong adler = adler32(0, Z_NULL, 0);
    // Two slots a worker keep every worker busy while the caller reads and writes.
    TDeflatePipeline pipeline(threads, 2 * threads + 1);
    const uint8_t* window = nullptr;
    int64_t read = 0, written = 0;
    while (read < size || pipeline.Busy()) {
        while (read < size && pipeline.HasRoom()) {
            TBlock& block = pipeline.Next();
            const int64_t n = std::min(size - read, DeflateBlockSize);
            // The window is the end of the block before, whose slot is not reused before
            // this one is filled.
            if (window != nullptr)
                block.Dictionary.assign(window, window + WindowSize);
            else
                block.Dictionary.clear();
            block.Input.resize(static_cast<size_t>(n));
            source.ReadBuffer(block.Input.data(), n);
            read += n;
            block.Last = read == size;
            block.Error = nullptr;
            window = block.Input.data() + block.Input.size() - WindowSize;
            pipeline.Submit();
        }
        TBlock& block = pipeline.TakeOldest();
        if (block.Error)
            std::rethrow_exception(block.Error);
        target.WriteBuffer(block.Output.data(), static_cast<int64_t>(block.Output.size()));
        adler = adler32_combine(adler, block.Adler, static_cast<z_off_t>(block.Input.size()));
        written += static_cast<int64_t>(block.Input.size());
        if (progress)
            progress(written);
    }
    const uint8_t trailer[4] = {static_cast<uint8_t>(adler >> 24),
                                static_cast<uint8_t>(adler >> 16), static_cast<uint8_t>(adler >> 8),
                                static_cast<uint8_t>(adler)};
    target.WriteBuffer(trailer, 4);
}

} // namespace rtl
