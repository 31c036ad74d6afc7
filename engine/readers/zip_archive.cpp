#include "zip_archive.h"

#include <zip.h>

#include <cerrno>
#include <new>

#include "system.h"

namespace {

std::string libzipWords(zip_error_t* error) {
    return zip_error_strerror(error);
}

}  // namespace

// The open file as libzip's seekable source; the file stays the caller's (libzip's own file
// source would close it).
struct ZipArchive::Source {
    std::FILE* file = nullptr;
    zip_int64_t size = 0;
    zip_int64_t at = 0;
    zip_error_t error;

    static zip_int64_t call(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
        return static_cast<Source*>(self)->answer(data, length, command);
    }

    zip_int64_t fail(int code) {
        zip_error_set(&error, code, errno);
        return -1;
    }

    zip_int64_t answer(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
            case ZIP_SOURCE_OPEN:
            case ZIP_SOURCE_CLOSE:
            case ZIP_SOURCE_FREE:
                return 0;
            case ZIP_SOURCE_READ: {
                const std::size_t got = std::fread(data, 1, length, file);
                if (got < length && std::ferror(file)) return fail(ZIP_ER_READ);
                at += static_cast<zip_int64_t>(got);
                return static_cast<zip_int64_t>(got);
            }
            case ZIP_SOURCE_STAT: {
                auto* stat = static_cast<zip_stat_t*>(data);
                zip_stat_init(stat);
                stat->size = static_cast<zip_uint64_t>(size);
                stat->valid |= ZIP_STAT_SIZE;
                return sizeof(zip_stat_t);
            }
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&error, data, length);
            case ZIP_SOURCE_SEEK: {
                const zip_int64_t to = zip_source_seek_compute_offset(
                    static_cast<zip_uint64_t>(at), static_cast<zip_uint64_t>(size), data, length,
                    &error);
                if (to < 0) return -1;
                if (std::fseek(file, static_cast<long>(to), SEEK_SET) != 0)
                    return fail(ZIP_ER_SEEK);
                at = to;
                return 0;
            }
            case ZIP_SOURCE_TELL:
                return at;
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(
                    ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                    ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                    ZIP_SOURCE_SUPPORTS, -1);
            default:
                zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }
};

ZipArchive::ZipArchive() = default;

// The archive goes first: it reads through the source until it is discarded.
ZipArchive::~ZipArchive() {
    archive_.reset();
}

void ZipArchive::discard(zip* archive) {
    if (archive) zip_discard(archive);
}

void ZipEntry::closeFile(zip_file* file) {
    if (file) zip_fclose(file);
}

bool ZipArchive::open(std::FILE* file, std::string& what) {
    source_ = std::make_unique<Source>();
    zip_error_init(&source_->error);
    source_->file = file;
    const long long size = bytesLeftInFile(file);
    source_->size = size < 0 ? 0 : size;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&Source::call, source_.get(), &error);
    if (!source) throw std::bad_alloc();
    archive_.reset(zip_open_from_source(source, ZIP_RDONLY, &error));
    const int code = zip_error_code_zip(&error);
    if (!archive_) {
        zip_source_free(source);
        if (code == ZIP_ER_MEMORY) throw std::bad_alloc();
        what = code == ZIP_ER_NOZIP ? "is not a zip archive, as an .x3p file is"
               : code == ZIP_ER_INCONS
                   ? "is a damaged zip archive (its directory does not match its contents)"
                   : "cannot be read as a zip archive (" + libzipWords(&error) + ")";
    }
    zip_error_fini(&error);
    return archive_ != nullptr;
}

bool ZipArchive::has(const std::string& entryName) const {
    return zip_name_locate(archive_.get(), entryName.c_str(), 0) >= 0;
}

bool ZipArchive::openEntry(const std::string& entryName, ZipEntry& entry, std::string& what) {
    const zip_int64_t index = zip_name_locate(archive_.get(), entryName.c_str(), 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(index), 0, &stat))
        return what = "holds no " + entryName + " in its archive", false;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return what = "holds " + entryName + " encrypted; save the file again without a password",
               false;
    if ((stat.valid & ZIP_STAT_COMP_METHOD) &&
        !zip_compression_method_supported(static_cast<zip_int32_t>(stat.comp_method), 0))
        return what = "holds " + entryName + " compressed by zip method " +
                      std::to_string(stat.comp_method) +
                      ", which this build cannot undo; save it with the usual deflate method",
               false;
    if (!(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
        return what = "holds " + entryName + " without a size it can be read by", false;
    // Deflate packs at most 1032 bytes into one; no surface's values pack better, whatever the
    // method. A larger claim would have the reader allocate for data the archive cannot hold.
    if (stat.comp_size > static_cast<zip_uint64_t>(source_->size) ||
        stat.size / 1032 > stat.comp_size + 64)
        return what = "holds " + entryName + " declared as " + std::to_string(stat.size) +
                      " bytes unpacked from " + std::to_string(stat.comp_size) +
                      ", more than the archive can hold; it is damaged",
               false;
    zip_file_t* opened = zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0);
    if (!opened) {
        zip_error_t* error = zip_get_error(archive_.get());
        if (zip_error_code_zip(error) == ZIP_ER_MEMORY) throw std::bad_alloc();
        return what = "cannot open " + entryName + " in its archive (" + libzipWords(error) + ")",
               false;
    }
    entry = ZipEntry(opened, static_cast<long long>(stat.size), entryName);
    return true;
}

long long ZipEntry::read(void* to, std::size_t count, std::string& what) {
    std::size_t filled = 0;
    while (filled < count) {
        const zip_int64_t got =
            zip_fread(file_.get(), static_cast<char*>(to) + filled, count - filled);
        if (got < 0) {
            zip_error_t* error = zip_file_get_error(file_.get());
            if (zip_error_code_zip(error) == ZIP_ER_MEMORY) throw std::bad_alloc();
            what = "has a damaged " + name_ + " in its archive (" + libzipWords(error) + ")";
            return -1;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(filled);
}
