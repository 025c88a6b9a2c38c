#include "bench/GpuTimer.h"

void GpuTimer::begin()
{
    GLuint query = 0;
    glGenQueries(1, &query);
    queries.emplace_back(query);
    glBeginQuery(GL_TIME_ELAPSED, query);
}

void GpuTimer::end()
{
    glEndQuery(GL_TIME_ELAPSED);
}

std::vector<double> GpuTimer::millisecondsEach()
{
    std::vector<double> spans;
    for (const QueryHandle& query : queries) {
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(query.get(), GL_QUERY_RESULT, &nanoseconds);
        spans.push_back(static_cast<double>(nanoseconds) / 1e6);
    }
    return spans;
}
