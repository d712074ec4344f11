#include "MaxMin.h"

void SwapIntegers(int& a, int& b)
{
    const int t = a;
    a = b;
    b = t;
}

int MaxInteger(std::initializer_list<int> values)
{
    if (values.size() == 0)
        return 0;
    int result = *values.begin();
    for (int v : values)
        if (v > result)
            result = v;
    return result;
}

int MinInteger(std::initializer_list<int> values)
{
    if (values.size() == 0)
        return 0;
    int result = *values.begin();
    for (int v : values)
        if (v < result)
            result = v;
    return result;
}
