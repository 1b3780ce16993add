-- wrk script: every request posts a score under a name no other request uses.
-- Usage: start the service with --posting-limit 0 (all requests come from one address), then
--   wrk -t2 -c20 -d5s -s tests/server/postings.lua http://127.0.0.1:PORT
-- Verified postings: start it also with --ticket-limit 0 --min-game-seconds 0, then
--   wrk -t2 -c20 -d5s -s tests/server/postings.lua http://127.0.0.1:PORT -- verified
-- Each connection asks for a ticket and posts its game (no words, score 0) with the next request,
-- so half the requests are tickets; the figure to read is the "verified postings/s" line.
local threadCount = 0
local threads = {}

function setup(thread)
    threadCount = threadCount + 1
    thread:set("threadId", threadCount)
    table.insert(threads, thread)
end

local counter = 0
verified = false -- global, so done() can read it from the threads
local tickets = {}
posted = 0
refused = 0

function init(args)
    verified = args[1] == "verified"
end

request = function()
    counter = counter + 1
    if verified then
        local id = table.remove(tickets)
        if id then
            return wrk.format("GET", string.format(
                "/cgi-bin/tarvlesolo.cgi?name=load%%20%d-%d&date=7/4/13&score=0&game=%s&words=", threadId or 0, counter, id))
        end
        return wrk.format("GET", "/tarvlesolo/ticket")
    end
    local path = string.format("/cgi-bin/tarvlesolo.cgi?name=load%%20%d-%d&date=7/4/13&score=%d",
        threadId or 0, counter, counter % 100001)
    return wrk.format("GET", path)
end

response = function(status, headers, body)
    if not verified then
        return
    end
    local id = body:match("^([%w_-]+) %w+$")
    if status == 200 and id then
        table.insert(tickets, id)
    elseif status == 200 and body:find("Score posted", 1, true) then
        posted = posted + 1
    else
        refused = refused + 1
    end
end

function done(summary, latency, requests)
    if not threads[1]:get("verified") then
        return
    end
    local total, failed = 0, 0
    for _, thread in ipairs(threads) do
        total = total + thread:get("posted")
        failed = failed + thread:get("refused")
    end
    io.write(string.format("verified postings: %d stored, %d other answers, %.0f verified postings/s\n",
        total, failed, total / (summary.duration / 1e6)))
end
