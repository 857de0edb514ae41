// The error box's view of whatever exception reached the top.
#include "base/OCException.h"
#include <new>

LONG DescribeCurrentException(OCString& message) {
    message = "";
    try {
        throw;
    } catch (const OCErrorException& error) {
        if (error.message.GetBuffer()) message = error.message.GetBuffer();
        return error.code;
    } catch (const OCException& error) {
        return error.code ? error.code : (LONG)ERROR_NOT_ENOUGH_MEMORY;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}
