-- wrk script: API requests for two seeds with 200 words each, every request with seeds not
-- asked for before (taken in turn from a word list), so that no cache can answer them.
local words = {}
local next_word = 1

function setup(thread)
    thread:set("offset", math.random(1, 100000))
end

function init(args)
    local list = os.getenv("WORD_LIST") or "/usr/share/dict/ngerman"
    for line in io.lines(list) do
        if #line > 2 and not line:find("[^%w]") then
            words[#words + 1] = line
        end
    end
    next_word = (offset or 1) % #words + 1
end

function request()
    local a = words[next_word]
    local b = words[next_word % #words + 1]
    next_word = (next_word + 2 - 1) % #words + 1
    return wrk.format("GET", "/api/v1/associations?n=200&format=csv&q=" .. a .. "," .. b)
end
