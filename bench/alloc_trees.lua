local function make(depth)
    if depth == 0 then return {left = false, right = false} end
    return {left = make(depth - 1), right = make(depth - 1)}
end
local function count(t)
    if not t.left then return 1 end
    return 1 + count(t.left) + count(t.right)
end
local function run(n)
    local keep = make(12)
    local check = 0
    for i = 0, n - 1 do
        check = check + count(make(8))
        local a = {i, i + 1, "x" .. i}
        check = (check + #a + #a[3]) % 1000003
    end
    return check + count(keep)
end
print(run(tonumber(arg[1])))
