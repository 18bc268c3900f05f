#include "platform/TransferResult.h"

#include <cerrno>

namespace pirela {

TransferResult TransferResult::FromError(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
        return {TransferStatus::Exists, error};
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return {TransferStatus::NoSpace, error};
    case EXDEV:
        return {TransferStatus::CrossDevice, error};
    case ECANCELED:
        return {TransferStatus::Cancelled, error};
    case EACCES:
    case EPERM:
    case EROFS:
        return {TransferStatus::Permission, error};
    default:
        return {TransferStatus::Other, error};
    }
}

} // namespace pirela
