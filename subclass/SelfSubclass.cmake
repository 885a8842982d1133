# The self-subclasser: message tables per window, for the tab strip.
corvane_pure_library(corvane_self_subclass_core
    SubclassTable.cpp
)

corvane_win32_library(corvane_self_subclass
    CSubclass.cpp
)
if(WIN32)
    target_link_libraries(corvane_self_subclass PUBLIC corvane_self_subclass_core corvane_runtime)
endif()
