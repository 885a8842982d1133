#include "runtime/TempDir.h"

namespace corvane {

std::wstring NormalizeTempDir(std::wstring_view buffer)
{
    std::wstring dir(buffer.substr(0, buffer.find(L'\0')));
    while (dir.size() > 1 && dir.back() == L'\\' && dir[dir.size() - 2] == L'\\') dir.pop_back();
    if (dir.empty() || dir.back() != L'\\') dir += L'\\';
    return dir;
}

}  // namespace corvane
