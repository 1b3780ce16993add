-- wrk script: every request posts a score under a name no other request uses.
-- Usage: start the service with --posting-limit 0 (all requests come from one address), then
--   wrk -t2 -c20 -d5s -s tests/server/postings.lua http://127.0.0.1:PORT
local threadCount = 0

function setup(thread)
    threadCount = threadCount + 1
    thread:set("threadId", threadCount)
end

local counter = 0

request = function()
    counter = counter + 1
    local path = string.format("/cgi-bin/tarvlesolo.cgi?name=load%%20%d-%d&date=7/4/13&score=%d",
        threadId or 0, counter, counter % 100001)
    return wrk.format("GET", path)
end
