#include "connection/PassSupport.h"

namespace vantory::PassSupport {

void setError(Store& store, const std::string& key, const std::string& text)
{
    Store::Messages errors = store.errors();
    if (text.empty())
        errors.erase(key);
    else
        errors[key] = text;
    store.setErrors(std::move(errors));
}

} // namespace vantory::PassSupport
