#include "shared/system/Logging.h"

#include <sys/stat.h>
#include <log4cpp/Appender.hh>
#include <log4cpp/Category.hh>
#include <log4cpp/Configurator.hh>
#include <log4cpp/OstreamAppender.hh>
#include <log4cpp/PatternLayout.hh>
#include <log4cpp/Priority.hh>
#include <log4cpp/SimpleConfigurator.hh>

#include <cstdlib>
#include <iostream>

#include "shared/system/RootPrefix.h"

namespace Kestrel {
namespace Sys {

const char* const LOG_CONFIG_PATH = "/vendor/etc/kestrel-log4cpp.init";

namespace {

log4cpp::Priority::Value LevelFromEnvironment() {
    const char* level = std::getenv("KESTREL_LOG_LEVEL");
    if (!level)
        return log4cpp::Priority::INFO;
    try {
        return log4cpp::Priority::getPriorityValue(level);
    } catch (...) {
        return log4cpp::Priority::INFO;
    }
}

}  // namespace

void ConfigureDefaultLogging() {
    log4cpp::Category& root = log4cpp::Category::getRoot();
    root.removeAllAppenders();
    auto* appender = new log4cpp::OstreamAppender("console", &std::cerr);
    auto* layout = new log4cpp::PatternLayout();
    layout->setConversionPattern("%d{%H:%M:%S.%l} %-5p %c: %m%n");
    appender->setLayout(layout);
    root.addAppender(appender);  // the category owns the appender from here on
    root.setPriority(LevelFromEnvironment());
}

LogConfigResult_e ConfigureLogging(const std::string& boardPath) {
    const std::string path = RootPath(boardPath);
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        ConfigureDefaultLogging();
        return LOG_CONFIG_MISSING;
    }
    try {
        log4cpp::SimpleConfigurator::configure(path);
        return LOG_CONFIG_LOADED;
    } catch (const log4cpp::ConfigureFailure&) {
        ConfigureDefaultLogging();
        return LOG_CONFIG_FAILED;
    }
}

}  // namespace Sys
}  // namespace Kestrel
