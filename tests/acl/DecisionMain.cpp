#include "DecisionHarness.h"

int main(int argc, char **argv)
{
    PinTimeZone();
    int childResult = RunChildMode(argc, argv);
    if (childResult != -1)
        return childResult;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
