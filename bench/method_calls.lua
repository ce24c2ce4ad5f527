local Vec = {}
Vec.__index = Vec
local function newVec(x, y) return setmetatable({x = x, y = y}, Vec) end
function Vec:add(o) self.x = (self.x + o.x) % 10007; self.y = (self.y + o.y) % 10009; return self end
function Vec:dot(o) return self.x * o.x + self.y * o.y end
function Vec:step(i) self.x = (self.x + i) % 10007; return self:dot(self) end
local function run(n)
    local a = newVec(1, 2)
    local b = newVec(3, 4)
    local check = 0
    for i = 0, n - 1 do
        a:add(b)
        check = (check + a:step(i) + b:dot(a)) % 1000003
    end
    return check
end
print(run(tonumber(arg[1])))
