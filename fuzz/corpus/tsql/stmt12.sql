select 1  
from t