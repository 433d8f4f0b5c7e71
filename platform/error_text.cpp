#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace fs = std::filesystem;

namespace platform {
namespace {

const char* ChineseReason(int err, FileAccess access) {
    switch (err) {
        case EACCES:
        case EPERM: return access == FileAccess::Write ? "没有写入权限" : "没有读取权限";
        case EROFS: return "磁盘是只读的, 没有写入权限";
        case ENOSPC:
        case EDQUOT: return "磁盘空间不足";
        case EISDIR: return "是一个文件夹";
        case ENOENT: return "文件不存在";
        case ENOTDIR: return "路径中有一项不是文件夹";
        case EEXIST: return "文件已经存在";
        case ENOTEMPTY: return "文件夹不是空的";
        case ENAMETOOLONG: return "文件名或路径太长";
        case ELOOP: return "链接太多层, 找不到它指向的文件";
        case EMFILE:
        case ENFILE: return "同时打开的文件太多";
        case EFBIG: return "文件太大";
        case EIO: return "磁盘读写出错";
        case EBUSY:
        case ETXTBSY: return "文件正在使用中";
        case EXDEV: return "不能在两个磁盘之间移动";
        case ENOMEM: return "内存不足";
        case ENODEV:
        case ENXIO: return "设备不存在";
        case EAGAIN: return "暂时无法完成, 请稍后再试";
        case EINTR: return "操作被中断";
        case ENOEXEC: return "不是可以运行的程序";
        case ETIMEDOUT: return "连接超时";
        case ECONNREFUSED: return "连接被拒绝";
        case ECONNRESET:
        case EPIPE: return "连接已断开";
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ENETDOWN: return "网络不通";
        default: return nullptr;
    }
}

// `rel` names something inside the base directory: not empty, not the base
// itself and not above it.
bool Inside(const fs::path& rel) {
    if (rel.empty() || rel == ".") return false;
    const auto first = rel.begin();
    return first != rel.end() && *first != "..";
}

}  // namespace

std::string ErrorReason(int err, FileAccess access) {
    if (const char* text = ChineseReason(err, access)) return text;
    return std::strerror(err);
}

std::string ErrorReason(const std::error_code& ec, FileAccess access) {
    if (ec.category() == std::generic_category() || ec.category() == std::system_category())
        return ErrorReason(ec.value(), access);
    return ec.message();
}

std::string UserPath(const fs::path& p, const fs::path& base) {
    if (p.empty()) return {};
    if (p.is_relative()) return p.lexically_normal().string();
    if (!base.empty()) {
        if (const fs::path rel = p.lexically_normal().lexically_relative(base.lexically_normal()); Inside(rel))
            return rel.string();
        // The same places reached through links (a base directory under a
        // linked folder, say).
        std::error_code ec1, ec2;
        const fs::path realP = fs::weakly_canonical(p, ec1);
        const fs::path realBase = fs::weakly_canonical(base, ec2);
        if (!ec1 && !ec2)
            if (const fs::path rel = realP.lexically_relative(realBase); Inside(rel)) return rel.string();
    }
    return p.string();
}

std::string UserPath(const fs::path& p) {
    std::error_code ec;
    const fs::path base = fs::current_path(ec);
    return UserPath(p, ec ? fs::path() : base);
}

std::string FileErrorText(std::string_view what, const fs::path& p, int err, FileAccess access) {
    return std::string(what) + " " + UserPath(p) + ": " + ErrorReason(err, access);
}

std::string FileErrorText(std::string_view what, const fs::path& p, const std::error_code& ec, FileAccess access) {
    return std::string(what) + " " + UserPath(p) + ": " + ErrorReason(ec, access);
}

}  // namespace platform
